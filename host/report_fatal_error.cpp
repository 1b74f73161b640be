#include "host/report_fatal_error.h"

#include "host/product.h"
#include "host/suite_cache.h"
#include "host/sdk/host_suites.h"
#include "toolkit/platform/text.h"

#include <windows.h>

namespace {

HWND HostMainWindow(SPBasicSuite* basic) noexcept
{
    if (!basic)
        return nullptr;
    try {
        SuiteCache suites(basic);
        HWND main_window = nullptr;
        suites.get<AEGP_UtilitySuite11>().AEGP_GetMainHWND(&main_window);
        return main_window;
    } catch (...) {
        // A host that cannot name its window still gets the message, in an unowned box.
        return nullptr;
    }
}

}  // namespace

void ReportFatalError(const std::exception* error, SPBasicSuite* basic) noexcept
{
    try {
        HWND owner = HostMainWindow(basic);
        std::string caption = qzsdk::format_to_string("%s exception", product_name);
        std::string text = error && *error->what()
                               ? std::string(error->what())
                               : qzsdk::format_to_string("%s has encountered an unrecoverable error.", product_name);
        MessageBoxW(owner, qzsdk::utf8_to_wide(text).c_str(), qzsdk::utf8_to_wide(caption).c_str(), MB_ICONERROR);
    } catch (...) {
        // Out of memory while reporting: nothing more can be told.
    }
}
