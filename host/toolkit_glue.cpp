#include "host/toolkit_glue.h"

#include "host/effects_popup.h"
#include "host/fault_guard.h"
#include "host/report_fatal_error.h"
#include "toolkit/ui/guarded_call.h"

namespace {

void ReportToHost(std::exception_ptr failure)
{
    SPBasicSuite* basic = g_effects_popup ? g_effects_popup->basic_suite() : nullptr;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        ReportFatalError(&error, basic);
    } catch (...) {
        ReportFatalError(nullptr, basic);
    }
}

void BracketWithFaultGuard(bool entering)
{
    entering ? FaultGuard::Enter() : FaultGuard::Leave();
}

}  // namespace

void ConnectToolkitToHost()
{
    qzsdk::ui::set_exception_reporter(&ReportToHost);
    qzsdk::ui::set_call_bracket(&BracketWithFaultGuard);
}
