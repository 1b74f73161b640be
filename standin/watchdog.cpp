#include "standin/watchdog.h"

#include <memory>

namespace standin {

namespace {

using UniqueHandle = std::unique_ptr<void, decltype(&CloseHandle)>;

struct Watch {
    HANDLE done;
    DWORD timeout_ms;
    const std::function<void()>* on_hang;
    bool fired = false;
};

DWORD WINAPI watch(void* parameter)
{
    auto* state = static_cast<Watch*>(parameter);
    if (WaitForSingleObject(state->done, state->timeout_ms) != WAIT_OBJECT_0) {
        state->fired = true;
        (*state->on_hang)();
    }
    return 0;
}

}  // namespace

bool run_watched(const std::function<bool()>& work, DWORD timeout_ms, const std::function<void()>& on_hang)
{
    UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr), &CloseHandle);
    Watch state{done.get(), timeout_ms, &on_hang};
    // Started before the work: a thread cannot start while an unload holds the loader lock.
    UniqueHandle watchdog(done ? CreateThread(nullptr, 0, &watch, &state, 0, nullptr) : nullptr, &CloseHandle);
    bool succeeded = work();
    if (!watchdog)
        return succeeded;
    SetEvent(done.get());
    WaitForSingleObject(watchdog.get(), INFINITE);
    return succeeded && !state.fired;
}

}  // namespace standin
