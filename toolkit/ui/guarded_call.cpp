#include "toolkit/ui/guarded_call.h"

#include <climits>
#include <map>
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

// How long a repeat of a failure is held back after its report closed: a handler failing at every tick
// or paint cannot bring its box back at once, and the same failure met later (a second export) is told again.
constexpr ULONGLONG repeat_hold_ms = 2000;
constexpr ULONGLONG report_open = ULLONG_MAX;

// Per failure (source and text): until when its repeats are held back, report_open while its report shows.
std::map<std::pair<const void*, std::string>, ULONGLONG>& held_failures()
{
    static std::map<std::pair<const void*, std::string>, ULONGLONG> held;
    return held;
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
    if (report_depth > 0 && nested_report_shown)
        return;
    auto& held = held_failures();
    ULONGLONG now = GetTickCount64();
    std::erase_if(held, [now](const auto& entry) { return entry.second <= now; });
    auto [failure_entry, is_new] = held.try_emplace({source, text_of(failure)}, report_open);
    if (!is_new)
        return;
    nested_report_shown = report_depth > 0;
    struct open_scope {
        ULONGLONG& until;
        explicit open_scope(ULONGLONG& held_until) : until(held_until) { ++report_depth; }
        ~open_scope()
        {
            --report_depth;
            until = GetTickCount64() + repeat_hold_ms;
        }
    } open_report{failure_entry->second};
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
