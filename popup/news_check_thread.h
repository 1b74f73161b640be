#pragma once
// The news check on a thread of its own, started at construction. The UI thread polls count().
// Stop or destroy it from the host's death hook at the latest: both join the thread, and a join inside a
// static destructor deadlocks the module's unload under the loader lock.
#include "popup/curl_global.h"
#include "popup/news_check.h"

#include <cstdint>
#include <thread>

class NewsCheckThread {
public:
    NewsCheckThread(NewsServer server, int64_t last_visit);
    ~NewsCheckThread();
    NewsCheckThread(const NewsCheckThread&) = delete;
    NewsCheckThread& operator=(const NewsCheckThread&) = delete;

    // -1 while the check runs, then its count (0 when it was stopped).
    int32_t count() const { return check_.count(); }
    // A pending request gives up within about a second; returns once the thread has ended. Idempotent.
    void Stop();

private:
    // libcurl's set-up happens here, on the UI thread, before the news thread exists.
    CurlGlobal curl_;
    NewsCheck check_;
    std::thread thread_;
};
