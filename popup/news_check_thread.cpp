#include "popup/news_check_thread.h"

#include <windows.h>

#include <utility>

namespace {

// Many times the check's own look at the stop request: a request that has not given up by then is left to
// end on its own.
constexpr uint32_t stop_wait_ms = 5000;

// Keeps this module in the process until it ends: a thread left running its code must find it there after
// the host unloads it.
void KeepModuleLoaded()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&KeepModuleLoaded), &module);
}

}  // namespace

NewsCheckThread::NewsCheckThread(NewsServer server, int64_t last_visit)
    : shared_(std::make_shared<Shared>(std::move(server))),
      task_([kept = shared_, last_visit] { kept->check.run(last_visit); })
{
}

NewsCheckThread::~NewsCheckThread()
{
    Stop();
}

void NewsCheckThread::Stop()
{
    if (std::exchange(stopped_, true))
        return;
    shared_->check.RequestStop();
    if (!task_.wait(stop_wait_ms) || shared_->check.LookupLeftRunning())
        KeepModuleLoaded();
}
