// The `menu` verb chooses an item of a native popup menu the module opened, however the pointer met the
// menu's loop, and clicks it once; when it cannot, it says what it saw.
#include "standin/host.h"
#include "standin/input.h"
#include "standin/session_runner.h"
#include "tests/support/idle_hook_entry.h"
#include "tests/support/menu_driver.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace {

constexpr UINT dark_item = 1;
constexpr UINT light_item = 2;
const POINT menu_origin{300, 300};

HWND menu_owner = nullptr;
bool open_at_idle = false;
bool light_greyed = false;
// Where a move of the pointer sent just before the menu opens goes, as the click that opened a list leaves
// one behind; none when empty.
std::optional<POINT> move_before_opening;
int menus_opened = 0;
UINT chosen = 0;

// The theme's drop-down list, opened by the module at an idle call as a click on the box would open it.
UINT track_theme_menu()
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, dark_item, L"Dark");
    AppendMenuW(menu, MF_STRING | (light_greyed ? MF_GRAYED : 0), light_item, L"Light");
    const UINT command =
        UINT(TrackPopupMenuEx(menu, TPM_RETURNCMD, menu_origin.x, menu_origin.y, menu_owner, nullptr));
    DestroyMenu(menu);
    return command;
}

// A menu loop that never follows the pointer: its mouse input is taken away before the loop sees it.
LRESULT CALLBACK drop_menu_mouse(int code, WPARAM wparam, LPARAM lparam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lparam);
    if (code == MSGF_MENU && message->message >= WM_MOUSEFIRST && message->message <= WM_MOUSELAST)
        return TRUE;
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

A_Err idle_hook(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long*)
{
    if (open_at_idle && menus_opened == 0) {
        ++menus_opened;
        if (move_before_opening)
            standin::send_mouse_move(*move_before_opening);
        chosen = track_theme_menu();
    }
    return A_Err_NONE;
}

class StandinSessionMenu : public testing::Test {
protected:
    StandinSessionMenu()
    {
        open_at_idle = false;
        light_greyed = false;
        move_before_opening.reset();
        menus_opened = 0;
        chosen = 0;
        menu_owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        host_.call_entry(&standin_test::idle_hook_entry<&idle_hook>, 115, 0);
    }
    ~StandinSessionMenu() override { DestroyWindow(menu_owner); }

    // Where "Light" lies once the menu is open: read from the menu itself, opened once and closed again.
    static POINT light_centre()
    {
        RECT item{};
        qzsdk::test::menu_driver driver({}, [&item](HMENU menu, HWND) { GetMenuItemRect(nullptr, menu, 1, &item); });
        track_theme_menu();
        return {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    }

    // Real input, dispatched until the system's cursor stands there (or a bound that only a lost move reaches).
    static void put_pointer(POINT at)
    {
        ASSERT_TRUE(standin::send_mouse_move(at));
        const ULONGLONG give_up = GetTickCount64() + 10000;
        for (POINT cursor{}; GetCursorPos(&cursor) && (cursor.x != at.x || cursor.y != at.y);) {
            ASSERT_LT(GetTickCount64(), give_up) << "the pointer did not arrive";
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            Sleep(10);
        }
    }

    bool run(const char* session, DWORD find_timeout_ms = standin::session_find_timeout_ms)
    {
        runner_ = std::make_unique<standin::SessionRunner>(host_, L"", standin::session_watchdog_ms, find_timeout_ms);
        return runner_->run(standin::parse_session(session));
    }

    std::string failure() const { return runner_->failures().empty() ? "" : runner_->failures()[0].message; }

    standin::Host host_{standin_test::test_project(), true};
    std::unique_ptr<standin::SessionRunner> runner_;
};

// The race a loaded machine runs into: the menu's loop peeks a move of the pointer's old place off the menu,
// the session's move onto the item is merged into that message before the loop removes it, and the loop acts
// on the old place. The pointer then stands on the item and moves to the same point bring the loop nothing.
// The filter hook holds the loop between its peek and its removal until the session's move has arrived,
// answering only the session's questions to the UI thread meanwhile, so the session goes on to the `menu`.
POINT staged_item{};
bool race_staged = false;

LRESULT CALLBACK hold_stale_move(int code, WPARAM wparam, LPARAM lparam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lparam);
    if (code == MSGF_MENU && message->message == WM_MOUSEMOVE && !race_staged &&
        (message->pt.x != staged_item.x || message->pt.y != staged_item.y)) {
        race_staged = true;
        const ULONGLONG give_up = GetTickCount64() + 5000;
        const HWND session_queue = FindWindowExW(HWND_MESSAGE, nullptr, L"StandinSessionQueue", nullptr);
        for (POINT cursor{}; GetCursorPos(&cursor) && (cursor.x != staged_item.x || cursor.y != staged_item.y) &&
                             GetTickCount64() < give_up;) {
            MSG question;
            while (PeekMessageW(&question, session_queue, 0, 0, PM_REMOVE))
                DispatchMessageW(&question);
            Sleep(5);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST_F(StandinSessionMenu, AnItemIsChosenWhenTheLoopMissedTheMoveOntoIt)
{
    staged_item = light_centre();
    race_staged = false;
    // The click that opened the list left the pointer on the box, above the list.
    put_pointer({menu_origin.x + 20, menu_origin.y - 40});
    move_before_opening = POINT{menu_origin.x + 20, menu_origin.y - 30};
    open_at_idle = true;
    HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, &hold_stale_move, nullptr, GetCurrentThreadId());
    ASSERT_NE(filter, nullptr);
    // The Escape ends a menu the verb could not choose from, so a failure ends the session at once.
    EXPECT_TRUE(run("idle\nmenu Light\nkey escape\n")) << failure();
    UnhookWindowsHookEx(filter);
    EXPECT_TRUE(race_staged) << "the loop saw no move of the old place";
    EXPECT_EQ(chosen, light_item);
}

// A failure tells which of these it saw: no menu, no such item, a disabled one, or one that never lit.
TEST_F(StandinSessionMenu, NoMenuOpenIsTold)
{
    EXPECT_FALSE(run("menu Light\n", 300));
    EXPECT_EQ(failure(), "no popup menu was open within 300 ms");
}

TEST_F(StandinSessionMenu, AnItemNotInTheMenuIsToldWithTheItemsThere)
{
    open_at_idle = true;
    EXPECT_FALSE(run("idle\nmenu Purple\nkey escape\n", 300));
    EXPECT_EQ(failure(), "the open menu has no item \"Purple\" within 300 ms (items: \"Dark\", \"Light\")");
    EXPECT_EQ(chosen, 0u);
}

TEST_F(StandinSessionMenu, ADisabledItemIsToldAndNotClicked)
{
    open_at_idle = true;
    light_greyed = true;
    EXPECT_FALSE(run("idle\nmenu Light\nkey escape\n", 300));
    EXPECT_EQ(failure(), "the item \"Light\" of the open menu stayed disabled for 300 ms");
    EXPECT_EQ(chosen, 0u);
}

TEST_F(StandinSessionMenu, AnItemThatNeverLightsUnderThePointerIsToldAndNotClicked)
{
    open_at_idle = true;
    HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, &drop_menu_mouse, nullptr, GetCurrentThreadId());
    ASSERT_NE(filter, nullptr);
    EXPECT_FALSE(run("idle\nmenu Light\nkey escape\n", 300));
    UnhookWindowsHookEx(filter);
    EXPECT_EQ(failure(), "the item \"Light\" of the open menu never lit under the pointer within 300 ms");
    EXPECT_EQ(chosen, 0u);
}

}  // namespace
