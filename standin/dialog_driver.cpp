#include "standin/dialog_driver.h"

namespace standin {

namespace {

// The timer procedure has no context of its own.
DialogDriver* active_driver = nullptr;

// The first visible window of a class: the dialog among the thread's windows, or the file name box (an edit
// control, possibly inside a combo box) among the dialog's children in tab order.
struct window_search {
    const wchar_t* class_name;
    HWND found = nullptr;
};

BOOL CALLBACK find_visible(HWND window, LPARAM search_data)
{
    auto* search = reinterpret_cast<window_search*>(search_data);
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (std::wstring(class_name) != search->class_name || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

DialogDriver::DialogDriver(answer choice, std::wstring file_name, lifetime span)
    : choice_(choice), file_name_(std::move(file_name)), span_(span)
{
    active_driver = this;
    timer_ = SetTimer(nullptr, 0, 200, &DialogDriver::on_timer);
}

DialogDriver::~DialogDriver()
{
    KillTimer(nullptr, timer_);
    active_driver = nullptr;
}

void CALLBACK DialogDriver::on_timer(HWND, UINT, UINT_PTR, DWORD)
{
    if (!active_driver || (active_driver->span_ == lifetime::first_dialog && active_driver->answered_ &&
                           !IsWindow(active_driver->answered_)))
        return;
    window_search dialog{L"#32770"};
    EnumThreadWindows(GetCurrentThreadId(), &find_visible, reinterpret_cast<LPARAM>(&dialog));
    if (dialog.found)
        active_driver->answer_dialog(dialog.found);
}

void DialogDriver::answer_dialog(HWND dialog)
{
    if (dialog == answered_) {
        // The answer was refused (an OK with nothing chosen): cancel, so a test never hangs in the dialog.
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    answered_ = dialog;
    wchar_t title[256] = {};
    GetWindowTextW(dialog, title, 256);
    titles_.push_back(title);
    if (choice_ == answer::ok && !file_name_.empty()) {
        window_search edit{L"Edit"};
        EnumChildWindows(dialog, &find_visible, reinterpret_cast<LPARAM>(&edit));
        if (edit.found)
            SendMessageW(edit.found, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file_name_.c_str()));
    }
    PostMessageW(dialog, WM_COMMAND, choice_ == answer::ok ? IDOK : IDCANCEL, 0);
}

}  // namespace standin
