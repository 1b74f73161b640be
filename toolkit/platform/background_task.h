#pragma once
// A function run once on a thread of the system's thread pool. Unlike a thread of our own it can be waited
// for on every path that ends the module, the unload under the loader lock included: the pool signals the end
// only after the function has returned and no code of this module is left on that thread, and no thread has
// to exit (which would need the loader lock) before the wait is over.
#include <cstdint>
#include <functional>

namespace qzsdk {

class background_task {
public:
    // Starts at once; when the system refuses, the function runs on the calling thread instead.
    explicit background_task(std::function<void()> work);
    // Does not wait: a task still running keeps what it uses and ends on its own. Wait first where the code
    // it runs may go away.
    ~background_task();
    background_task(const background_task&) = delete;
    background_task& operator=(const background_task&) = delete;

    // True once the function has ended; false when the time passed first.
    bool wait(uint32_t timeout_ms);

    struct state;

private:
    state* state_;
};

}  // namespace qzsdk
