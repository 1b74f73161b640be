#pragma once
// Asks the maker's server how many news items have appeared since the last visit of the news page. run is
// the body of the news thread; the UI thread reads nothing but count().
#include "popup/news_server.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

class NewsCheck {
public:
    static constexpr size_t body_size = 64;
    // The received length of an answer too long to be a count.
    static constexpr uint64_t too_long = body_size;

    explicit NewsCheck(NewsServer server);
    NewsCheck(const NewsCheck&) = delete;
    NewsCheck& operator=(const NewsCheck&) = delete;

    // One request with the last visit (Unix seconds); publishes the count on every way out.
    void run(int64_t last_visit);
    // -1 until run has finished, then the count (0 when the answer was not one).
    int32_t count() const { return count_.load(std::memory_order_acquire); }
    // A running request gives up within a tenth of a second, a name lookup under way included; any thread.
    void RequestStop() { stop_requested_.store(true); }
    // Whether the request ended while libcurl was still looking up the server's name. Its resolver then leaves
    // the lookup running on a thread of its own, in this module's code, to end whenever the system answers.
    // Valid once count() is not -1.
    bool LookupLeftRunning() const { return lookup_left_running_.load(std::memory_order_acquire); }

private:
    friend class NewsCheckTestApi;

    // Whether the server answered in full with a success status.
    bool Request(int64_t last_visit);
    int32_t CountFromBody() const;
    static size_t Receive(char* data, size_t size, size_t count, void* record);

    const NewsServer server_;
    std::atomic<bool> stop_requested_{false};
    // From the moment libcurl starts a name lookup until a socket was opened for its answer.
    bool looking_up_ = false;
    std::atomic<bool> lookup_left_running_{false};
    // Written by the news thread only; the count's release store makes them visible with it.
    uint64_t received_length_ = 0;
    char body_[body_size] = {};
    std::atomic<int32_t> count_{-1};
};
