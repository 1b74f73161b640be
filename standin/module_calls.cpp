#include "standin/module_calls.h"

#include <algorithm>
#include <stdexcept>

namespace standin {

namespace {

thread_local ModuleCalls* watched_here = nullptr;

// Deeper calls than the mask holds share its last bit: they are loops of loops, and end with them.
uint64_t depth_bit(int depth) { return uint64_t{1} << std::clamp(depth - 1, 0, 63); }

}  // namespace

ModuleCalls::ModuleCalls()
{
    if (watched_here)
        throw std::logic_error("the UI thread's calls into the module are already watched");
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, &on_get_message, nullptr, GetCurrentThreadId());
    if (!hook_)
        throw std::runtime_error("cannot watch the messages the UI thread takes");
    watched_here = this;
}

ModuleCalls::~ModuleCalls()
{
    UnhookWindowsHookEx(hook_);
    watched_here = nullptr;
}

void ModuleCalls::enter()
{
    // A call starts with no loop of its own.
    loops_ &= ~depth_bit(++depth_);
}

void ModuleCalls::leave()
{
    loops_ &= ~depth_bit(depth_.load());
    --depth_;
}

bool ModuleCalls::host_takes(MSG& message)
{
    host_taking_ = true;
    const bool took = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
    host_taking_ = false;
    return took;
}

LRESULT CALLBACK ModuleCalls::on_get_message(int code, WPARAM removal, LPARAM message)
{
    // A look that leaves the message in the queue takes nothing.
    if (code == HC_ACTION && removal == PM_REMOVE && watched_here)
        watched_here->taken(*reinterpret_cast<const MSG*>(message));
    return CallNextHookEx(nullptr, code, removal, message);
}

void ModuleCalls::taken(const MSG& message)
{
    const int depth = depth_.load();
    if (depth > 0 && !host_taking_)
        loops_ |= depth_bit(depth);
    if (observer_)
        observer_(message);
}

}  // namespace standin
