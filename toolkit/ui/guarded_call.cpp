#include "toolkit/ui/guarded_call.h"

#include <set>
#include <string>
#include <utility>

namespace qzsdk::ui {
namespace {

exception_reporter& installed_reporter()
{
    static exception_reporter reporter;
    return reporter;
}

thread_local std::exception_ptr unreported;
call_bracket installed_bracket = nullptr;

class bracket_scope {
public:
    explicit bracket_scope(call_bracket bracket) : bracket_(bracket)
    {
        if (bracket_)
            bracket_(true);
    }
    ~bracket_scope()
    {
        if (bracket_)
            bracket_(false);
    }
    bracket_scope(const bracket_scope&) = delete;
    bracket_scope& operator=(const bracket_scope&) = delete;

private:
    call_bracket bracket_;
};

std::string text_of(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return {};
    }
}

// Whether this failure of this source is new to the session; remembers it.
bool first_of_its_kind(std::exception_ptr failure, const void* source)
{
    static std::set<std::pair<const void*, std::string>> reported;
    return reported.emplace(source, text_of(failure)).second;
}

int report_depth = 0;
bool nested_report_shown = false;

void report(std::exception_ptr failure, const void* source)
{
    exception_reporter& reporter = installed_reporter();
    if (!reporter) {
        unreported = failure;
        return;
    }
    if ((report_depth > 0 && nested_report_shown) || !first_of_its_kind(failure, source))
        return;
    if (report_depth > 0)
        nested_report_shown = true;
    else
        nested_report_shown = false;
    struct depth_scope {
        depth_scope() { ++report_depth; }
        ~depth_scope() { --report_depth; }
    } open_report;
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

void set_call_bracket(call_bracket bracket)
{
    installed_bracket = bracket;
}

std::exception_ptr take_unreported_exception()
{
    return std::exchange(unreported, nullptr);
}

LRESULT guarded_call(LRESULT (*body)(void* context), void* context, LRESULT failure_result, const void* source)
{
    try {
        bracket_scope scope(installed_bracket);
        return body(context);
    } catch (...) {
        report(std::current_exception(), source);
        return failure_result;
    }
}

}  // namespace qzsdk::ui
