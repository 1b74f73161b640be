#pragma once
// Answers the next modal "#32770" dialog of this thread (a file or folder dialog) from a timer that runs
// inside the dialog's own message loop: optionally types a file name into it, then presses OK or Cancel. A
// dialog still open at the tick after its answer is cancelled. Records each dialog's title. Shared by the
// stand-in's sessions and the tests.
#include <windows.h>

#include <string>
#include <vector>

namespace standin {

class DialogDriver {
public:
    enum class answer { ok, cancel };
    enum class lifetime { every_dialog, first_dialog };
    // With ok, a non-empty file name is typed into the dialog's file name box first. With first_dialog the
    // driver does nothing more once the dialog it answered is gone.
    explicit DialogDriver(answer choice, std::wstring file_name = {}, lifetime span = lifetime::every_dialog);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    const std::vector<std::wstring>& titles() const { return titles_; }

private:
    static void CALLBACK on_timer(HWND, UINT, UINT_PTR, DWORD);
    void answer_dialog(HWND dialog);

    answer choice_;
    std::wstring file_name_;
    lifetime span_;
    std::vector<std::wstring> titles_;
    HWND answered_ = nullptr;
    UINT_PTR timer_ = 0;
};

}  // namespace standin
