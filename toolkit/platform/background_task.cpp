#include "toolkit/platform/background_task.h"

#include <windows.h>

namespace qzsdk {

struct background_task::state {
    std::function<void()> work;
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PTP_WORK item = nullptr;
    bool ended = false;

    ~state()
    {
        if (item)
            CloseThreadpoolWork(item);
        if (finished)
            CloseHandle(finished);
    }
};

namespace {

void CALLBACK run_task(PTP_CALLBACK_INSTANCE instance, void* context, PTP_WORK)
{
    auto* task = static_cast<background_task::state*>(context);
    // Set by the pool once this function has returned.
    SetEventWhenCallbackReturns(instance, task->finished);
    try {
        task->work();
    } catch (...) {
        // Nothing may unwind into the pool; the work reports its own failures.
    }
}

}  // namespace

background_task::background_task(std::function<void()> work) : state_(new state{std::move(work)})
{
    if (state_->finished)
        state_->item = CreateThreadpoolWork(&run_task, state_, nullptr);
    if (state_->item) {
        SubmitThreadpoolWork(state_->item);
        return;
    }
    state_->work();
    state_->ended = true;
}

background_task::~background_task()
{
    if (wait(0))
        delete state_;
    // Otherwise the pool still runs the function on this state: it is left to the process.
}

bool background_task::wait(uint32_t timeout_ms)
{
    if (!state_->ended)
        state_->ended = WaitForSingleObject(state_->finished, timeout_ms) == WAIT_OBJECT_0;
    return state_->ended;
}

}  // namespace qzsdk
