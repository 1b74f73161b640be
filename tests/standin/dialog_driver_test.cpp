// The sessions' dialog answer beside the host's message box capture, as standin.exe runs them together.
#include "standin/dialog_driver.h"
#include "standin/message_box_capture.h"
#include "tests/support/temp_folder.h"
#include "toolkit/ui/file_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// Cancels every dialog still open after the deadline, so that a dialog nobody answers fails the test
// instead of hanging it.
class DialogDeadline {
public:
    DialogDeadline() { timer_ = SetTimer(nullptr, 0, 20000, &expire); }
    ~DialogDeadline() { KillTimer(nullptr, timer_); }

private:
    static void CALLBACK expire(HWND, UINT, UINT_PTR, DWORD)
    {
        EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (IsWindowVisible(window) && std::wstring(name) == L"#32770")
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        }, 0);
    }
    UINT_PTR timer_ = 0;
};

}  // namespace

TEST(DialogDriver, SavingOverAFileAnswersTheOverwriteQuestionAndKeepsTheChoice)
{
    qzsdk::test::temp_folder folder;
    const qzsdk::path existing = folder / L"settings.zqs";
    qzsdk::test::write_bytes(existing, "left from an earlier run");
    std::vector<standin::MessageBoxRecord> boxes;
    standin::MessageBoxCapture capture(boxes);
    DialogDeadline deadline;
    standin::DialogDriver driver(standin::DialogDriver::answer::ok, existing.wide(),
                                 standin::DialogDriver::lifetime::first_dialog);
    const std::vector<qzsdk::path> chosen = qzsdk::ui::show_file_dialog(
        nullptr, qzsdk::ui::file_dialog_save, "Select a file to save to", {{"Zephrin Settings File", "*.zqs"}}, 0, "");
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_TRUE(chosen[0].wide().ends_with(L"\\settings.zqs")) << chosen[0].to_utf8();
    // The question is the capture's: answered with its default button, recorded like any message box.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(driver.titles().size(), 1u);
}
