// A module for the stand-in's own tests, loaded by the host as it loads the real one: the windows it makes are
// the module's (their procedure lies in its image), while what they do is the test's. Each hands its messages
// to a procedure the test gives.
#include "host/sdk/host_types.h"

#include <windows.h>

namespace {

LRESULT CALLBACK handing_on(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return procedure ? procedure(window, message, wparam, lparam) : DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

extern "C" __declspec(dllexport) A_Err TestModuleMain(SPBasicSuite*, A_long, A_long, AEGP_PluginID, AEGP_GlobalRefcon*)
{
    return A_Err_NONE;
}

// A window of the module whose messages go to `procedure`: top-most, shown without activation, at the
// rectangle, or a message-only window when `parent` is HWND_MESSAGE.
extern "C" __declspec(dllexport) HWND TestModuleWindow(WNDPROC procedure, HWND parent, int x, int y, int width,
                                                        int height)
{
    const bool message_only = parent == HWND_MESSAGE;
    HWND window = CreateWindowExW(message_only ? 0 : WS_EX_TOPMOST, L"STATIC", L"", message_only ? 0 : WS_POPUP, x,
                                  y, width, height, parent, nullptr, nullptr, nullptr);
    if (!window)
        return nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(procedure));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&handing_on));
    if (!message_only)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}
