#pragma once
// The UI thread's calls into the module, and which of them wait for input in a loop of the module's own (its
// modal loop, a menu or a dialog it opened): a call inside which something other than the host takes messages
// off the queue. A message the host dispatches to a window of the module is a call that returns; only a loop
// keeps the host's idle calls away meanwhile. Seen through a hook on the messages the UI thread takes, which
// also tells the session what the module's windows take.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>

namespace standin {

class ModuleCalls {
public:
    // Made on the UI thread, the one it watches.
    ModuleCalls();
    ~ModuleCalls();
    ModuleCalls(const ModuleCalls&) = delete;
    ModuleCalls& operator=(const ModuleCalls&) = delete;

    void enter();
    void leave();
    // Any thread may ask.
    bool inside_call() const { return depth_.load() > 0; }
    bool inside_loop() const { return loops_.load() != 0; }
    // The host's own take: a message it takes inside a call (its loop nested in the module's) makes no loop.
    bool host_takes(MSG& message);
    // Runs on the UI thread for each message taken off the queue, by any loop, until replaced; empty: none.
    void observe_taken(std::function<void(const MSG&)> observer) { observer_ = std::move(observer); }

private:
    static LRESULT CALLBACK on_get_message(int code, WPARAM removal, LPARAM message);
    void taken(const MSG& message);

    std::atomic<int> depth_ = 0;
    std::atomic<uint64_t> loops_ = 0;  // bit d-1: the call at depth d took messages itself
    bool host_taking_ = false;
    std::function<void(const MSG&)> observer_;
    HHOOK hook_ = nullptr;
};

}  // namespace standin
