#include "toolkit/ui/guarded_call.h"

#include <utility>

namespace qzsdk::ui {
namespace {

exception_reporter& installed_reporter()
{
    static exception_reporter reporter;
    return reporter;
}

thread_local std::exception_ptr unreported;

void report(std::exception_ptr failure)
{
    exception_reporter& reporter = installed_reporter();
    if (!reporter) {
        unreported = failure;
        return;
    }
    try {
        reporter(failure);
    } catch (...) {
        // A failing reporter must not unwind into the system's dispatch either.
        unreported = std::current_exception();
    }
}

}  // namespace

exception_reporter set_exception_reporter(exception_reporter reporter)
{
    return std::exchange(installed_reporter(), std::move(reporter));
}

std::exception_ptr take_unreported_exception()
{
    return std::exchange(unreported, nullptr);
}

LRESULT guarded_call(LRESULT (*body)(void* context), void* context, LRESULT failure_result)
{
    try {
        return body(context);
    } catch (...) {
        report(std::current_exception());
        return failure_result;
    }
}

}  // namespace qzsdk::ui
