#pragma once
#include "host/fault_guard.h"
#include "host/sdk/host_types.h"

#include <exception>

// The last-resort error box, owned by the host's main window when the host can name it. Never throws.
void ReportFatalError(const std::exception* error, SPBasicSuite* basic) noexcept;

// Runs work on the host's thread with hardware faults translated and every exception ending in
// ReportFatalError, so nothing unwinds into the host. Returns false when the work failed.
template <class Work>
bool RunReportingErrors(SPBasicSuite* basic, Work&& work) noexcept
{
    try {
        FaultGuard guard;
        work();
        return true;
    } catch (const std::exception& error) {
        ReportFatalError(&error, basic);
    } catch (...) {
        ReportFatalError(nullptr, basic);
    }
    return false;
}
