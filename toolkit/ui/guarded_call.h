#pragma once
// Where exceptions stop at the boundary between toolkit code and the system's message dispatch.
// The host glue installs the reporter; the toolkit knows nothing of it.
#include <windows.h>

#include <exception>
#include <functional>
#include <type_traits>

namespace qzsdk::ui {

using exception_reporter = std::function<void(std::exception_ptr)>;

// Returns the reporter it replaces.
exception_reporter set_exception_reporter(exception_reporter reporter);
// Without a reporter the latest exception is kept here until taken.
std::exception_ptr take_unreported_exception();

// Host glue may bracket every guarded call with a scope of its own (its crash-dump guard): called with
// true before the body and with false after it, also when the body throws.
using call_bracket = void (*)(bool entering);
void set_call_bracket(call_bracket bracket);

// Runs body(context); anything it throws is reported and `failure_result` returned. Every window
// procedure goes through this one function, so a crash guard has one place to hook into.
// A reporter's message box keeps dispatching timers and paints, so a handler failing at every tick
// would stack boxes: a repeat of the same failure (by its text) of the same source is held back while
// its report is open and for a short while after it closed, and while a report is open only one more may
// open inside it.
LRESULT guarded_call(LRESULT (*body)(void* context), void* context, LRESULT failure_result,
                     const void* source = nullptr);

// The same boundary for handlers that destructors run: nothing may leave a destructor.
template <class Action>
void call_reporting(Action&& action)
{
    using action_type = std::remove_reference_t<Action>;
    guarded_call(
        [](void* context) -> LRESULT {
            (*static_cast<action_type*>(context))();
            return 0;
        },
        &action, 0);
}

}  // namespace qzsdk::ui
