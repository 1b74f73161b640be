#pragma once
// The news check on a thread of its own, started at construction. The UI thread polls count().
// Stop or destroy it from the host's death hook at the latest: both join the thread, and a join inside a
// static destructor deadlocks the module's unload under the loader lock; Abandon is for that late path.
#include "popup/curl_global.h"
#include "popup/news_check.h"

#include <cstdint>
#include <memory>
#include <thread>

class NewsCheckThread {
public:
    NewsCheckThread(NewsServer server, int64_t last_visit);
    ~NewsCheckThread();
    NewsCheckThread(const NewsCheckThread&) = delete;
    NewsCheckThread& operator=(const NewsCheckThread&) = delete;

    // -1 while the check runs, then its count (0 when it was stopped).
    int32_t count() const { return shared_->check.count(); }
    // A pending request gives up within about a second; returns once the thread has ended. Idempotent.
    void Stop();
    // Asks a pending request to give up and lets the thread end on its own, without waiting for it: for
    // the module's unload when the death hook never came. The thread keeps what it uses alive.
    void Abandon();

private:
    struct Shared {
        explicit Shared(NewsServer server) : check(std::move(server)) {}
        // libcurl's set-up happens here, on the UI thread, before the news thread exists.
        CurlGlobal curl;
        NewsCheck check;
    };

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};
