// The module the stand-in's sessions load: the installed module's entries plus the session-only exports,
// which must not trust whatever window a caller hands them.
#include "host/session/session_exports.h"
#include "tests/support/pe_file.h"
#include "tests/support/window_fixture.h"
#include "toolkit/ui/generic_button.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::wstring session_module = L"Z:" ZEPHRIN_SESSION_MODULE_DIR L"/Zephrin.aex";

TEST(SessionModule, ExportsTheHostsEntriesAndTheSessionOnes)
{
    auto names = qzsdk::test::pe_file(session_module).export_names();
    for (const char* entry : {"PluginMain", "execute", "ESInitialize", "ESGetVersion", "ESTerminate", "ESFreeMem",
                              "ZephrinChooseEntry", "ZephrinFindButton"})
        EXPECT_NE(std::find(names.begin(), names.end(), entry), names.end()) << entry;
}

// The fixture's window belongs to this program's own copy of the toolkit: a holder of another module.
class SessionFindButton : public qzsdk::test::window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        module_ = LoadLibraryW(session_module.c_str());
        ASSERT_NE(module_, nullptr);
        find_ = reinterpret_cast<decltype(&ZephrinFindButton)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "ZephrinFindButton")));
        ASSERT_NE(find_, nullptr);
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
        window_test::TearDown();
    }

    int32_t find(HWND window)
    {
        RECT found{};
        return find_(window, "OK", &found);
    }

    HMODULE module_ = nullptr;
    decltype(&ZephrinFindButton) find_ = nullptr;
};

TEST_F(SessionFindButton, AForeignWindowsUserDataIsNeverFollowed)
{
    // A plain window whose user data is no holder at all: following it would fault.
    HWND plain = CreateWindowExW(0, L"STATIC", L"OK", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    SetWindowLongPtrW(plain, GWLP_USERDATA, 0x10);
    EXPECT_EQ(find(plain), 0);
    DestroyWindow(plain);
    EXPECT_EQ(find(plain), 0);
    EXPECT_EQ(find(nullptr), 0);
}

TEST_F(SessionFindButton, AToolkitWindowOfAnotherModuleIsNotItsOwn)
{
    qzsdk::ui::generic_button ok;
    ok.set_text("OK");
    ok.attach_to_window(&window.root(), qzsdk::ui::rect{10, 10, 60, 24});
    show_without_focus();
    ASSERT_TRUE(ok.is_visible(true));
    EXPECT_EQ(find(window.handle()), 0);
}

}  // namespace
