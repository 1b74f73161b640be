#pragma once
// Records every top-level window of the module that is shown on the installing thread (a call-window
// hook sees the show as it happens, however short-lived the window), for state.json.
#include "standin/bookkeeping.h"

#include <windows.h>

#include <functional>

namespace standin {

class WindowLog {
public:
    // `module` answers the loaded module at the time of each show (null: none).
    WindowLog(std::vector<ShownWindow>& records, std::function<HMODULE()> module);
    ~WindowLog();
    WindowLog(const WindowLog&) = delete;
    WindowLog& operator=(const WindowLog&) = delete;

    // Takes each recorded window's title, rectangle and visibility as they are now, and records no more.
    void settle();

private:
    static LRESULT CALLBACK hook_procedure(int code, WPARAM wparam, LPARAM lparam);
    void on_message(HWND window, UINT message, LPARAM lparam);
    ShownWindow* find(HWND window);

    std::vector<ShownWindow>& records_;
    std::function<HMODULE()> module_;
    HHOOK hook_;
    bool settled_ = false;
};

}  // namespace standin
