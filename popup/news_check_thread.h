#pragma once
// The news check in the background, started at construction. The UI thread polls count().
// Every path that ends the module stops it, the unload without the death hook included: the check runs as a
// task of the system's thread pool, which can be waited for even under the loader lock.
#include "popup/curl_global.h"
#include "popup/news_check.h"
#include "toolkit/platform/background_task.h"

#include <cstdint>
#include <memory>

class NewsCheckThread {
public:
    NewsCheckThread(NewsServer server, int64_t last_visit);
    ~NewsCheckThread();
    NewsCheckThread(const NewsCheckThread&) = delete;
    NewsCheckThread& operator=(const NewsCheckThread&) = delete;

    // -1 while the check runs, then its count (0 when it was stopped).
    int32_t count() const { return shared_->check.count(); }
    // A pending request gives up within a tenth of a second; returns once the check has ended, or after a few
    // seconds at most. When the check, or a name lookup libcurl left behind, is still running then, the module
    // stays loaded until the process ends: no code of it may run after its unload. Waits only the first time.
    void Stop();

private:
    struct Shared {
        explicit Shared(NewsServer server) : check(std::move(server)) {}
        // libcurl's set-up happens here, on the UI thread, before the check starts.
        CurlGlobal curl;
        NewsCheck check;
    };

    std::shared_ptr<Shared> shared_;
    qzsdk::background_task task_;
    bool stopped_ = false;
};
