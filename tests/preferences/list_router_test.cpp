#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "popup/effects_popup_window.h"
#include "preferences/preferences_popup_prompts.h"
#include "preferences/preferences_window.h"
#include "standin/input.h"
#include "tests/preferences/preferences_window_test_api.h"
#include "tests/support/effects_popup_window_test_api.h"
#include "tests/support/modal_script.h"
#include "tests/support/real_mouse.h"
#include "tests/support/temp_folder.h"

using qzsdk::test::modal_script;
using Step = std::function<void()>;

namespace {

// Client points of the window: favourites rows from y 62 (462 wide, from x 510), blacklist rows from y 257
// (148 wide, from x 324), shortcut slots from y 288 (303 wide, from x 10); each row 30 high.
constexpr int favourite_x = 560, favourite_override_x = 900, favourite_remove_x = 700;
constexpr int blacklist_x = 360, blacklist_remove_x = 455;
constexpr int shortcut_x = 100;
int favourite_y(int row) { return 77 + 30 * row; }
int blacklist_y(int row) { return 272 + 30 * row; }
int shortcut_y(int slot) { return 303 + 30 * slot; }

class list_router : public testing::Test {
protected:
    list_router()
    {
        qzsdk::test::make_folder(local_.get());
        popup_ = std::make_unique<EffectsPopupWindow>(nullptr, &popup_settings_,
                                                      MakerFolders{local_.get(), common_.get()},
                                                      EffectsPopupWindowTestApi::refusing_news_server());
        popup_->SetEffects({{1, "Glow", "glow", "Stylize", false},
                            {2, "Gaussian Blur", "gaussian blur", "Blur", false},
                            {~0, "Fade In", "fade in", "", true}});
        lists_.aliases = {{"glow", entry(0), nullptr}};
        lists_.blacklist = {{"gaussian blur", entry(1), nullptr}};
        lists_.shortcuts[0] = {"Glo", entry(0)};
        window_ = std::make_unique<PreferencesWindow>(nullptr, popup_->themes(), settings_, lists_, *popup_, prompts_);
    }

    const EffectEntry* entry(size_t i) const { return &popup_->entries()[i]; }
    void run(std::vector<Step> steps) { modal_script(std::move(steps)).run(*window_); }
    Step click(int x, int y, bool right = false)
    {
        return [=, this] { qzsdk::test::post_click(window_->handle(), x, y, right); };
    }
    Step right_click(int x, int y) { return click(x, y, true); }
    // Text typed, then a key pressed, in the popup of that title.
    static Step type(const wchar_t* title, std::wstring text, UINT key = VK_RETURN)
    {
        return [=] {
            HWND popup = FindWindowW(nullptr, title);
            ASSERT_NE(popup, nullptr);
            qzsdk::test::post_text(popup, text);
            qzsdk::test::post_key(popup, key);
        };
    }
    // Records the open menu's texts and answers it with the keys.
    static Step answer_menu(std::vector<std::wstring>& texts, std::vector<WPARAM> keys)
    {
        return [&texts, keys] {
            HWND menu_window = FindWindowW(L"#32768", nullptr);
            ASSERT_TRUE(menu_window && IsWindowVisible(menu_window));
            auto menu = reinterpret_cast<HMENU>(SendMessageW(menu_window, MN_GETHMENU, 0, 0));
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                wchar_t text[64]{};
                GetMenuStringW(menu, UINT(i), text, 64, MF_BYPOSITION);
                texts.push_back(text);
            }
            for (WPARAM key : keys)
                PostMessageW(menu_window, WM_KEYDOWN, key, 0);
        };
    }

    qzsdk::test::temp_folder local_;
    qzsdk::test::temp_folder common_;
    PopupSettings popup_settings_;
    std::unique_ptr<EffectsPopupWindow> popup_;
    PopupSettings settings_;
    EffectLists lists_;
    PreferencesPopupPrompts prompts_;
    std::unique_ptr<PreferencesWindow> window_;
};

}  // namespace

TEST_F(list_router, AddRowsAndShortcutSlotsGoThroughThePickerAndTheMenus)
{
    std::vector<std::wstring> filled_menu, empty_menu;
    run({click(favourite_x, favourite_y(1)), type(L"Add New Effect", L"fad"),
         click(blacklist_x, blacklist_y(1)), type(L"Add New Effect", L"glo", VK_ESCAPE),
         // An empty slot 7 fills the first empty slot; a filled slot's click edits its label alone.
         click(shortcut_x, shortcut_y(6)), type(L"Set Shortcut", L"fad"),
         click(shortcut_x, shortcut_y(1)), type(L"Set Label for Fade In", L"X"),
         right_click(shortcut_x, shortcut_y(5)), answer_menu(empty_menu, {VK_ESCAPE}),
         right_click(shortcut_x, shortcut_y(0)), answer_menu(filled_menu, {VK_UP, VK_RETURN})});

    ASSERT_EQ(lists_.aliases.size(), 2u);
    EXPECT_EQ(lists_.aliases[1].target, entry(2));
    EXPECT_EQ(lists_.aliases[1].text, "fade in");
    EXPECT_EQ(lists_.blacklist.size(), 1u);
    EXPECT_EQ(empty_menu, (std::vector<std::wstring>{L"New Shortcut", L"Clear"}));
    EXPECT_EQ(filled_menu, (std::vector<std::wstring>{L"Glow", L"", L"Edit Label", L"Clear"}));
    // "Clear" on slot 1 moved the new shortcut up.
    EXPECT_EQ(lists_.shortcuts[0].target, entry(2));
    EXPECT_EQ(lists_.shortcuts[0].label, "X");
    EXPECT_EQ(lists_.shortcuts[1].target, nullptr);
}

// An effect already among the favourites, with an alias and an override, is added again through the add
// row: a second record, plain (its name, no alias, no override), and a row for it.
TEST_F(list_router, AFavouriteAddedAgainThroughTheAddRowIsAppendedAsAPlainRecord)
{
    lists_.aliases[0].text = "gl";
    lists_.aliases[0].override_target = entry(2);
    run({click(favourite_x, favourite_y(1)), type(L"Add New Effect", L"glo")});
    ASSERT_EQ(lists_.aliases.size(), 2u);
    EXPECT_EQ(lists_.aliases[0].text, "gl");
    EXPECT_EQ(lists_.aliases[0].override_target, entry(2));
    EXPECT_EQ(lists_.aliases[1].text, "glow");
    EXPECT_EQ(lists_.aliases[1].target, entry(0));
    EXPECT_EQ(lists_.aliases[1].override_target, nullptr);
    EXPECT_EQ(PreferencesWindowTestApi(*window_).favourite_rows(), 2u);
}

TEST_F(list_router, AFilledSlotWhoseLabelIsTheMatchNamePicksAnEffectAnew)
{
    lists_.shortcuts[1] = {"glow", entry(0)};
    // The picker that opens is answered: a search is given "fad", any other is cancelled.
    std::vector<std::wstring> titles;
    Step answer_picker = [&titles] {
        HWND search = FindWindowW(nullptr, L"Set Shortcut");
        HWND picker = search ? search : FindWindowW(nullptr, L"Set Label for Glow");
        ASSERT_NE(picker, nullptr);
        wchar_t title[64]{};
        GetWindowTextW(picker, title, 64);
        titles.push_back(title);
        if (search)
            qzsdk::test::post_text(picker, L"fad");
        qzsdk::test::post_key(picker, search ? VK_RETURN : VK_ESCAPE);
    };
    run({click(shortcut_x, shortcut_y(1)), answer_picker, click(shortcut_x, shortcut_y(0)), answer_picker});
    // Slot 1's own label "Glo" is edited alone.
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"Set Shortcut", L"Set Label for Glow"}));
    EXPECT_EQ(lists_.shortcuts[1].target, entry(2));
    EXPECT_EQ(lists_.shortcuts[0].label, "Glo");
}

TEST_F(list_router, FavouriteAndBlacklistRowsEditAliasesOverridesAndRemove)
{
    std::vector<std::wstring> alias_menu, override_menu;
    run({click(favourite_x, favourite_y(0)), type(L"Add Alias", L"GL"),
         right_click(favourite_x, favourite_y(0)), answer_menu(alias_menu, {VK_UP, VK_RETURN}),
         // The override column lists presets only: Enter on "glow" finds nothing to choose.
         click(favourite_override_x, favourite_y(0)), type(L"Set Override", L"glow"),
         type(L"Set Override", L"", VK_ESCAPE),
         click(favourite_override_x, favourite_y(0)), type(L"Set Override", L"fa"),
         right_click(favourite_x, favourite_y(0)), answer_menu(override_menu, {VK_ESCAPE})});
    EXPECT_EQ(alias_menu, (std::vector<std::wstring>{L"Glow", L"", L"Remove Favorite", L"Edit Alias", L"Clear Alias"}));
    EXPECT_EQ(override_menu,
              (std::vector<std::wstring>{L"Glow", L"", L"Remove Favorite", L"Add Alias", L"Clear Override"}));
    EXPECT_EQ(lists_.aliases[0].text, "glow");
    EXPECT_EQ(lists_.aliases[0].override_target, entry(2));

    std::vector<std::wstring> again;
    run({right_click(favourite_x, favourite_y(0)), answer_menu(again, {VK_UP, VK_RETURN}),
         click(blacklist_remove_x, blacklist_y(0))});
    EXPECT_EQ(lists_.aliases[0].override_target, nullptr);
    EXPECT_TRUE(lists_.blacklist.empty());
    run({click(favourite_remove_x, favourite_y(0))});
    EXPECT_TRUE(lists_.aliases.empty());
}

// A click sent the moment the window shows reaches the row it was aimed at while the system still reports
// the pointer where it was before: under X the pointer crossings of the windows that opened and closed under
// it arrive late and put the cursor back there, here played by a thread of its own.
TEST_F(list_router, TheAddRowClickedAsTheWindowShowsOpensThePickerWhileThePointerIsReportedElsewhere)
{
    constexpr DWORD picker_timeout_ms = 5000;
    POINT stale{favourite_x, favourite_y(7)};
    POINT aimed{favourite_x, favourite_y(1)};
    ClientToScreen(window_->handle(), &stale);
    ClientToScreen(window_->handle(), &aimed);
    qzsdk::test::real_mouse_move(stale);

    std::atomic<bool> reporting{true};
    std::thread reports([&] {
        while (reporting)
            standin::send_mouse_move(stale);
    });
    std::thread clicker;
    bool picker_opened = false;
    const ULONGLONG start = GetTickCount64();
    auto picker = [] { return qzsdk::test::find_window(L"Add New Effect"); };
    qzsdk::test::modal_steps steps({
        {[] { return true; }, [&] { clicker = std::thread([aimed] { standin::send_click(aimed.x, aimed.y); }); }},
        {[&] { return picker() || GetTickCount64() - start > picker_timeout_ms; },
         [&] {
             reporting = false;
             picker_opened = picker() != nullptr;
             if (picker_opened)
                 picker()->end_modal(0);
         }},
        {[] { return true; }, [this] { window_->end_modal(0); }},
    });
    window_->show_modal();
    reporting = false;
    reports.join();
    if (clicker.joinable())
        clicker.join();

    EXPECT_TRUE(picker_opened) << "no \"Add New Effect\" picker opened within " << picker_timeout_ms << " ms";
    EXPECT_EQ(lists_.aliases.size(), 1u);
}
