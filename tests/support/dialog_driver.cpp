#include "tests/support/dialog_driver.h"

namespace qzsdk::test {

namespace {

// The timer procedure has no context of its own.
dialog_driver* active_driver = nullptr;

BOOL CALLBACK find_dialog(HWND window, LPARAM found)
{
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (std::wstring(class_name) == L"#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The file name box: an edit control, possibly inside a combo box; the first visible one in tab order.
BOOL CALLBACK find_edit(HWND window, LPARAM found)
{
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (std::wstring(class_name) == L"Edit" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

dialog_driver::dialog_driver(answer choice, std::wstring file_name)
    : choice_(choice), file_name_(std::move(file_name))
{
    active_driver = this;
    timer_ = SetTimer(nullptr, 0, 200, &dialog_driver::on_timer);
}

dialog_driver::~dialog_driver()
{
    KillTimer(nullptr, timer_);
    active_driver = nullptr;
}

void CALLBACK dialog_driver::on_timer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &find_dialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog && active_driver)
        active_driver->answer_dialog(dialog);
}

void dialog_driver::answer_dialog(HWND dialog)
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
        HWND edit = nullptr;
        EnumChildWindows(dialog, &find_edit, reinterpret_cast<LPARAM>(&edit));
        if (edit)
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file_name_.c_str()));
    }
    PostMessageW(dialog, WM_COMMAND, choice_ == answer::ok ? IDOK : IDCANCEL, 0);
}

}  // namespace qzsdk::test
