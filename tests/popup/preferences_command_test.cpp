// The settings button opens the preferences over copies: Cancel leaves the popup and its files as they were;
// OK takes the copies over, re-skins the popup and saves. While open, the popup neither shows nor opens it again.
#include "popup/effects_popup_window.h"
#include "popup/effects_warning_popup.h"
#include "popup/settings_file.h"
#include "tests/preferences/preferences_window_test_api.h"
#include "tests/support/effects_popup_window_test_api.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace qzsdk::ui;
using qzsdk::test::read_bytes;

TEST(PreferencesCommand, CancelChangesNothingOkTakesTheCopiesOverReskinsAndSaves)
{
    qzsdk::test::temp_folder local, common;
    qzsdk::test::make_folder(local.get());
    PopupSettings settings;
    settings.capture_folder = (local / L"captures").to_utf8();
    EffectsPopupWindow popup(nullptr, &settings, MakerFolders{local.get(), common.get()},
                             EffectsPopupWindowTestApi::refusing_news_server());
    const std::vector<EffectEntry> catalogue{{1, "Glow", "glow", "Stylize", false},
                                             {2, "Blur", "blur", "Blur & Sharpen", false}};
    popup.SetEffects(catalogue);
    popup.SerializeLocalSettings(true);
    qzsdk::test::event_log log;
    log.listen(&popup, "popup", {event_id::command});
    int32_t result = 0;
    auto saved = [&] { return read_bytes(local / L"effects_settings") + read_bytes(local / L"effects_search.txt"); };
    const std::string before = saved();

    // Presses the settings button of the popup; in the window, picks Light, adds a favourite and leaves
    // through (x, y).
    auto edit_in_preferences = [&](int x, int y) {
        popup.RunCommand(result, "Shot", "Main Comp", "Title", popup_command_show);
        EffectsPopupWindowTestApi(popup).Search("zzz");
        popup.SetEffects(catalogue);  // a rebuild under the visible list searches again
        ASSERT_NE(EffectsPopupWindowTestApi(popup).effects_header(), nullptr);
        auto window = [] { return dynamic_cast<PreferencesWindow*>(qzsdk::test::find_window(L"Preferences")); };
        qzsdk::test::modal_steps steps({{[&] { return window() != nullptr; }, [&] {
            popup.Hide();
            popup.RunCommand(result, "", "", "Title", popup_command_show);
            EXPECT_FALSE(popup.is_visible());
            // A second window would run its own loop here and never return.
            popup.RunCommand(result, "", "", "Title", popup_command_preferences);
            PreferencesWindowTestApi(*window()).color_box().select_index(1, false, 0);
            PreferencesWindowTestApi(*window()).lists().aliases.push_back({"blur", &popup.entries()[1], nullptr});
            qzsdk::test::post_click(window()->handle(), x, y);
        }}});
        SendMessageW(popup.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(397 - 80 + 14, 22));
        SendMessageW(popup.handle(), WM_LBUTTONUP, 0, MAKELPARAM(397 - 80 + 14, 22));
        EXPECT_TRUE(steps.finished());
        EXPECT_EQ(log.take(), (std::vector<std::string>{"popup:44:5"}));  // the catalogue rebuilt first
    };
    const std::vector<EffectsTheme>& themes = popup.themes();
    auto no_matches_back = [&] {
        HeaderSlot* header = EffectsPopupWindowTestApi(popup).effects_header();
        return header ? header->properties.get_color("default_back_color") : color{};
    };

    edit_in_preferences(395, 68);  // Cancel
    EXPECT_EQ(popup.current_theme(), &themes[0]);
    EXPECT_TRUE(popup.lists().aliases.empty());
    EXPECT_EQ(saved(), before);

    edit_in_preferences(395, 41);  // OK
    EXPECT_EQ(settings.ui_color, 1u);
    EXPECT_EQ(popup.current_theme(), &themes[1]);
    ASSERT_EQ(popup.lists().aliases.size(), 1u);
    PopupSettings stored;
    ASSERT_TRUE(read_settings_file(local / L"effects_settings", stored));
    EXPECT_EQ(stored.ui_color, 1u);
    EXPECT_NE(read_bytes(local / L"effects_search.txt").find("Blur"), std::string::npos);

    // A theme change recolours the "No Matches" header too.
    EffectsPopupWindowTestApi(popup).Search("zzz");
    popup.ApplyTheme(0, false);
    EXPECT_EQ(no_matches_back(), themes[0].header_back_color);
}

TEST(PreferencesCommand, ASaveThatFailsAfterOkIsToldAndSoIsAnUnreadList)
{
    qzsdk::test::temp_folder local, common;
    qzsdk::test::make_folder(local.get());
    PopupSettings settings;
    settings.capture_folder = (local / L"captures").to_utf8();
    // The search list is held without sharing while the popup reads it: it stays unread this session.
    qzsdk::test::write_bytes(local / L"effects_search.txt", "Glow\n");
    HANDLE search = CreateFileW((local / L"effects_search.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    EffectsPopupWindow popup(nullptr, &settings, MakerFolders{local.get(), common.get()},
                             EffectsPopupWindowTestApi::refusing_news_server());
    popup.SetEffects({{1, "Glow", "glow", "Stylize", false}});
    CloseHandle(search);
    // Held without delete sharing, as a virus scanner might: the settings file cannot be replaced.
    HANDLE held = CreateFileW((local / L"effects_settings").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    std::vector<std::string> told;
    auto answer = [&](const wchar_t* title) {
        return qzsdk::test::modal_steps::step{[title] { return qzsdk::test::find_window(title) != nullptr; }, [&, title] {
            auto* warning = dynamic_cast<EffectsWarningPopup*>(qzsdk::test::find_window(title));
            ASSERT_NE(warning, nullptr);
            told.emplace_back(warning->text());
            warning->end_modal(1);
        }};
    };
    qzsdk::test::modal_steps steps(
        {{[] { return qzsdk::test::find_window(L"Preferences") != nullptr; }, [] {
              auto* window = dynamic_cast<PreferencesWindow*>(qzsdk::test::find_window(L"Preferences"));
              PreferencesWindowTestApi(*window).color_box().select_index(1, false, 0);
              qzsdk::test::post_click(window->handle(), 395, 41);  // OK
          }},
         answer(L"Failed to Save"), answer(L"Not Saved")});
    int32_t result = 0;
    popup.RunCommand(result, "", "", "Title", popup_command_preferences);
    CloseHandle(held);
    EXPECT_TRUE(steps.finished());
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0], "Unable to save current settings to disk.");
    EXPECT_NE(told[1].find("\"effects_search.txt\""), std::string::npos);
    // What could not be saved is still the popup's, and the unread list was not written over.
    EXPECT_EQ(settings.ui_color, 1u);
    EXPECT_EQ(read_bytes(local / L"effects_search.txt"), "Glow\n");
}
