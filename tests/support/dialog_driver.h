#pragma once
// Answers the next modal "#32770" dialog of this thread from a timer that runs inside the dialog's own
// message loop: optionally types a file name into it, then presses OK or Cancel. A dialog
// still open at the tick after its answer is cancelled. Records each dialog's title.
#include <windows.h>

#include <string>
#include <vector>

namespace qzsdk::test {

class dialog_driver {
public:
    enum class answer { ok, cancel };
    // With ok, a non-empty file name is typed into the dialog's file name box first.
    explicit dialog_driver(answer choice, std::wstring file_name = {});
    ~dialog_driver();
    dialog_driver(const dialog_driver&) = delete;
    dialog_driver& operator=(const dialog_driver&) = delete;

    const std::vector<std::wstring>& titles() const { return titles_; }

private:
    static void CALLBACK on_timer(HWND, UINT, UINT_PTR, DWORD);
    void answer_dialog(HWND dialog);

    answer choice_;
    std::wstring file_name_;
    std::vector<std::wstring> titles_;
    HWND answered_ = nullptr;
    UINT_PTR timer_ = 0;
};

}  // namespace qzsdk::test
