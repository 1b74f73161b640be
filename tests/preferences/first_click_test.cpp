// A click sent the moment the preferences show reaches the row it was aimed at, even while the system still
// reports the pointer where it was before they opened: under X the pointer crossings of the windows that
// opened and closed under it arrive late and put the cursor back there, so the click must say where it is.
#include "popup/effects_popup_window.h"
#include "preferences/preferences_popup_prompts.h"
#include "preferences/preferences_window.h"
#include "standin/input.h"
#include "tests/support/effects_popup_window_test_api.h"
#include "tests/support/modal_script.h"
#include "tests/support/real_mouse.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>

using qzsdk::test::modal_steps;

namespace {

// The favourites' "New +" row, the first of their panel, and a spot of that panel below its rows.
constexpr POINT new_row{600, 77};
constexpr POINT below_rows{632, 283};
constexpr DWORD picker_timeout_ms = 5000;

POINT on_screen(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    return client;
}

class PreferencesFirstClick : public testing::Test {
protected:
    PreferencesFirstClick()
    {
        qzsdk::test::make_folder(local_.get());
        popup_ = std::make_unique<EffectsPopupWindow>(nullptr, &popup_settings_,
                                                      MakerFolders{local_.get(), common_.get()},
                                                      EffectsPopupWindowTestApi::refusing_news_server());
        popup_->SetEffects({{1, "Glow", "glow", "Stylize", false}});
        window_ = std::make_unique<PreferencesWindow>(nullptr, popup_->themes(), settings_, lists_, *popup_, prompts_);
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

TEST_F(PreferencesFirstClick, ARowClickedAsTheWindowShowsOpensItsPickerWhileThePointerIsReportedElsewhere)
{
    const HWND handle = window_->handle();
    const POINT stale = on_screen(handle, below_rows);
    const POINT aimed = on_screen(handle, new_row);
    qzsdk::test::real_mouse_move(stale);

    // The late reports of the old pointer position, and the session's click, each from a thread of its own.
    std::atomic<bool> reporting{true};
    std::thread reports([&] {
        while (reporting)
            standin::send_mouse_move(stale);
    });
    std::thread clicker;
    bool picker_opened = false;
    const ULONGLONG start = GetTickCount64();
    auto picker = [] { return qzsdk::test::find_window(L"Add New Effect"); };
    modal_steps steps({
        {[] { return true; }, [&] { clicker = std::thread([aimed] { standin::send_click(aimed.x, aimed.y); }); }},
        {[&] { return picker() || GetTickCount64() - start > picker_timeout_ms; },
         [&] {
             reporting = false;
             picker_opened = picker() != nullptr;
             if (picker_opened)
                 picker()->end_modal(0);
         }},
        {[] { return true; }, [&] { window_->end_modal(0); }},
    });
    window_->show_modal();
    reporting = false;
    reports.join();
    if (clicker.joinable())
        clicker.join();

    EXPECT_TRUE(picker_opened) << "no \"Add New Effect\" picker opened within " << picker_timeout_ms << " ms";
    EXPECT_TRUE(lists_.aliases.empty());
}
