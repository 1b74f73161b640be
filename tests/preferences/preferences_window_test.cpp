#include "preferences/preferences_window.h"

#include "popup/effect_list_text.h"
#include "popup/effects_popup_window.h"
#include "tests/support/effects_popup_window_test_api.h"
#include "preferences/preferences_prompts.h"
#include "tests/gallery/gallery_window_test_api.h"
#include "tests/preferences/preferences_window_test_api.h"
#include "tests/toolkit/ui/tooltip_test_api.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/ui/event_manager.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using qzsdk::path;
using qzsdk::test::dialog_driver;
using qzsdk::test::modal_steps;
using qzsdk::test::make_folder;
using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;

namespace {

// Records each prompt; answers the question with `confirm` and the key popup with `key_name` ("": cancel).
class RecordingPrompts : public PreferencesPrompts {
public:
    void Tell(qzsdk::ui::window&, const EffectsTheme*, qzsdk::ui::point, std::string_view title,
              std::string_view text) override
    {
        told.push_back(std::string(title) + ": " + std::string(text));
    }
    bool Confirm(qzsdk::ui::window&, const EffectsTheme*, qzsdk::ui::point, std::string_view title,
                 std::string_view) override
    {
        told.push_back(std::string(title) + "?");
        return confirm;
    }
    bool ChooseCustomKey(qzsdk::ui::window&, const EffectsTheme*, qzsdk::ui::point, PopupSettings& settings) override
    {
        told.push_back("key?");
        if (key_name.empty())
            return false;
        settings.custom_key = 'K';
        settings.custom_ctrl = 1;
        settings.custom_key_name = key_name;
        return true;
    }

    std::vector<std::string> told;
    bool confirm = true;
    std::string key_name;
};

class PreferencesWindowTest : public testing::Test {
protected:
    PreferencesWindowTest()
    {
        make_folder(local_.get());
        make_folder(capture_.get());
        popup_settings_.capture_folder = capture_.get().to_utf8();
        popup_ = std::make_unique<EffectsPopupWindow>(nullptr, &popup_settings_, MakerFolders{local_.get(), common_.get()},
                                                      EffectsPopupWindowTestApi::refusing_news_server());
        popup_->SetEffects({{1, "Glow", "glow", "Stylize", false}, {2, "Blur", "blur", "Blur & Sharpen", false}});
        settings_.capture_folder = capture_.get().to_utf8();
        settings_.full_resolution = true;
        settings_.hotkey_mode = hotkey_shift_tab;
        lists_.aliases = {{"gl", &popup_->entries()[0], nullptr}};
        lists_.shortcuts[0] = {"G", &popup_->entries()[0]};
        lists_.unresolved_search_lines = {"Missing Plugin"};
        window_ = std::make_unique<PreferencesWindow>(nullptr, popup_->themes(), settings_, lists_, *popup_, prompts_);
    }

    // A real left click at a client point, as the mouse would give it.
    std::function<void()> click(int x, int y)
    {
        return [this, x, y] {
            LPARAM at = MAKELPARAM(x, y);
            PostMessageW(window_->handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(window_->handle(), WM_LBUTTONUP, 0, at);
        };
    }
    std::function<bool()> told(size_t count)
    {
        return [this, count] { return prompts_.told.size() == count; };
    }
    static std::function<bool()> now()
    {
        return [] { return true; };
    }
    std::string lists_text() const { return search_text(lists_) + shortcuts_text(lists_); }
    // The gallery shown over one capture, its thumbnail made and cached.
    GalleryWindowTestApi show_gallery_with_a_capture()
    {
        const qzsdk::ui::embedded_image& png = popup_->themes()[0].badge_image;
        write_bytes(capture_ / L"shot.png", std::string(reinterpret_cast<const char*>(png.data), png.length));
        popup_->ShowGallery();
        GalleryWindowTestApi gallery(*popup_->gallery());
        gallery.settle();
        return gallery;
    }

    temp_folder local_;
    temp_folder common_;
    temp_folder capture_;
    temp_folder files_;
    PopupSettings popup_settings_;
    std::unique_ptr<EffectsPopupWindow> popup_;
    PopupSettings settings_;
    EffectLists lists_;
    RecordingPrompts prompts_;
    std::unique_ptr<PreferencesWindow> window_;
};

constexpr int ok_x = 395, ok_y = 41;
constexpr int cancel_x = 395, cancel_y = 68;
constexpr int reset_x = 395, reset_y = 122;
constexpr int export_x = 357, export_y = 149;
constexpr int import_x = 432, import_y = 149;

}  // namespace

TEST_F(PreferencesWindowTest, ARefusedResetCancelAndEscapeChangeNothingAResetAndOkHandsBackDefaults)
{
    prompts_.confirm = false;
    std::string before = lists_text();
    modal_steps refused({{now(), click(reset_x, reset_y)}, {told(1), click(cancel_x, cancel_y)}});
    EXPECT_EQ(window_->show_modal(), 0);
    EXPECT_EQ(settings_.hotkey_mode, hotkey_shift_tab);
    EXPECT_EQ(lists_text(), before);
    modal_steps escape({{now(), [this] { PostMessageW(window_->handle(), WM_KEYDOWN, VK_ESCAPE, 0); }}});
    EXPECT_EQ(window_->show_modal(), 0);

    prompts_.confirm = true;
    int64_t news_visit = settings_.last_news_visit = 12345;
    modal_steps reset({{now(), click(reset_x, reset_y)}, {told(2), click(ok_x, ok_y)}});
    EXPECT_EQ(window_->show_modal(), 1);
    EXPECT_EQ(prompts_.told, std::vector<std::string>(2, "Reset Settings?"));
    EXPECT_EQ(settings_.last_news_visit, news_visit);
    EXPECT_EQ(settings_.hotkey_mode, hotkey_ctrl_space);
    EXPECT_FALSE(PreferencesWindowTestApi(*window_).full_resolution_box().is_checked());
    EXPECT_EQ(settings_.capture_folder, PopupSettings().capture_folder);
    // Nothing comes back: not even the line kept for a plug-in missing this session.
    EXPECT_EQ(lists_text(), search_text(EffectLists()) + shortcuts_text(EffectLists()));
    EXPECT_EQ(PreferencesWindowTestApi(*window_).favourite_rows(), 0u);
}

TEST_F(PreferencesWindowTest, ExportAndImportRunThroughTheDialogsAndTheImportShowsInTheControls)
{
    path archive = files_ / L"mine.zqs";
    std::string exported_lists = lists_text();
    std::unique_ptr<dialog_driver> dialogs;
    auto answer_then_click = [&](int x, int y) {
        return [&, x, y] {
            dialogs.reset();  // one driver at a time: the old one's end would silence the new one
            dialogs = std::make_unique<dialog_driver>(dialog_driver::answer::ok, archive.wide());
            click(x, y)();
        };
    };
    modal_steps script({{now(), answer_then_click(export_x, export_y)},
                        {told(1),
                         [&] {
                             // Edits after the export, which the import takes back.
                             settings_.full_resolution = false;
                             settings_.hotkey_mode = hotkey_ctrl_tab;
                             lists_.aliases[0].text = "changed";
                             answer_then_click(import_x, import_y)();
                         }},
                        {told(2), click(ok_x, ok_y)}});
    EXPECT_EQ(window_->show_modal(), 1);
    EXPECT_EQ(prompts_.told, (std::vector<std::string>{"Export Successful: Preferences exported successfully.",
                                                       "Import Successful: Preferences imported successfully."}));
    EXPECT_TRUE(PreferencesWindowTestApi(*window_).full_resolution_box().is_checked());
    EXPECT_EQ(PreferencesWindowTestApi(*window_).hotkey_box().get_selected().value, int32_t(hotkey_shift_tab));
    EXPECT_EQ(lists_text(), exported_lists);
    EXPECT_EQ(PreferencesWindowTestApi(*window_).favourite_rows(), 1u);
}

TEST_F(PreferencesWindowTest, ACancelledCustomKeyPutsThePreviousModeBackAndAConfirmedOneNamesTheKey)
{
    qzsdk::ui::drop_down_box& hotkeys = PreferencesWindowTestApi(*window_).hotkey_box();
    hotkeys.select_index(hotkey_custom, false, 0);
    EXPECT_EQ(settings_.hotkey_mode, hotkey_shift_tab);
    EXPECT_EQ(hotkeys.get_selected().value, int32_t(hotkey_shift_tab));

    prompts_.key_name = "K";
    hotkeys.select_index(hotkey_custom, false, 0);
    EXPECT_EQ(settings_.hotkey_mode, hotkey_custom);
    EXPECT_EQ(hotkeys.get_selected().text, "Custom| CTRL + K");
    // A change is announced before and after the write: leaving Custom asks nothing, picking it again once.
    hotkeys.select_index(hotkey_ctrl_tab, false, 0);
    hotkeys.select_index(hotkey_custom, false, 0);
    hotkeys.select_index(hotkey_custom, false, 0);
    EXPECT_EQ(prompts_.told, std::vector<std::string>(4, "key?"));
}

TEST_F(PreferencesWindowTest, ClearDeletesTheThumbnailCacheAndTheGallerysThumbnailsAndStaysDoneAfterCancel)
{
    write_bytes(local_ / L"effects_cache", "data");
    write_bytes(local_ / L"effects_cache.header", "header");
    const qzsdk::ui::embedded_image& png = popup_->themes()[0].badge_image;
    write_bytes(capture_ / L"shot.png", std::string(reinterpret_cast<const char*>(png.data), png.length));
    popup_->ShowGallery();
    popup_->gallery()->Hide();
    ASSERT_EQ(GalleryWindowTestApi(*popup_->gallery()).names(), std::vector<std::string>{"shot.png"});
    modal_steps script({{now(), click(172 + 40, 149)},
                        {[&] { return !qzsdk::get_file_info(local_ / L"effects_cache.header").exists; },
                         click(cancel_x, cancel_y)}});
    EXPECT_EQ(window_->show_modal(), 0);
    EXPECT_FALSE(qzsdk::get_file_info(local_ / L"effects_cache").exists);
    EXPECT_TRUE(GalleryWindowTestApi(*popup_->gallery()).names().empty());  // made again at its next show
}

TEST_F(PreferencesWindowTest, ClearFreesTheCacheTheGalleryHoldsOpenAndTellsWhenAnotherProgramHoldsIt)
{
    GalleryWindowTestApi gallery = show_gallery_with_a_capture();
    const path store = local_ / L"effects_cache";
    ASSERT_TRUE(qzsdk::get_file_info(store).exists);
    // As while the gallery makes pictures: its loader has the store's files open. Hidden, the gallery does
    // not make its thumbnails again at once, which would write the store anew.
    popup_->gallery()->Hide();
    gallery.open_cache_store();
    const DWORD start = GetTickCount();
    auto cleared_or_late = [&] {
        return !qzsdk::get_file_info(store).exists || GetTickCount() - start > 3000;
    };
    {
        modal_steps script({{now(), click(172 + 40, 149)}, {cleared_or_late, click(cancel_x, cancel_y)}});
        EXPECT_EQ(window_->show_modal(), 0);
    }
    ASSERT_FALSE(qzsdk::get_file_info(store).exists) << "the gallery's loader kept the store's files";
    ASSERT_TRUE(prompts_.told.empty());
    popup_->ShowGallery();
    gallery.settle();
    EXPECT_EQ(gallery.names(), std::vector<std::string>{"shot.png"});  // made again from the file

    // Held by another program, the store stays: that is told.
    popup_->gallery()->Hide();
    write_bytes(store, "data");
    HANDLE held = CreateFileW(store.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        modal_steps script({{now(), click(172 + 40, 149)}, {told(1), click(cancel_x, cancel_y)}});
        EXPECT_EQ(window_->show_modal(), 0);
    }
    CloseHandle(held);
    ASSERT_EQ(prompts_.told.size(), 1u);
    EXPECT_EQ(prompts_.told[0].substr(0, 16), "Failed to Clear:");
}

TEST_F(PreferencesWindowTest, ClearWithTheGalleryShownTellsNothingThoughTheGalleryWritesTheCacheAgainAtOnce)
{
    GalleryWindowTestApi gallery = show_gallery_with_a_capture();
    const path store = local_ / L"effects_cache";
    ASSERT_TRUE(qzsdk::get_file_info(store).exists);
    ASSERT_EQ(gallery.column().size(), 1u);
    // The shown gallery reloads as soon as the clear has deleted the store: its loader has made the store's
    // files again by the time it drops its old thumbnails, before the clear could look at them.
    bool reloaded = false;
    qzsdk::ui::event_object listener;
    qzsdk::ui::event_manager::instance().connect(gallery.column().front(), &listener, qzsdk::ui::event_id::destroying,
                                                 [&](const qzsdk::ui::event_info&) {
                                                     gallery.open_cache_store();
                                                     reloaded = true;
                                                 });
    const DWORD start = GetTickCount();
    auto reloaded_or_late = [&] { return reloaded || GetTickCount() - start > 3000; };
    {
        modal_steps script({{now(), click(172 + 40, 149)}, {reloaded_or_late, click(cancel_x, cancel_y)}});
        EXPECT_EQ(window_->show_modal(), 0);
    }
    ASSERT_TRUE(reloaded) << "the clear did not make the gallery drop its thumbnails";
    EXPECT_EQ(prompts_.told, std::vector<std::string>{});
    gallery.settle();
    EXPECT_EQ(gallery.names(), std::vector<std::string>{"shot.png"});
    EXPECT_TRUE(qzsdk::get_file_info(store).exists);
}

// A cache never made, or one whose header or data file the user deleted, is as clear as one deleted now:
// nothing is told, and what was left of it goes.
TEST_F(PreferencesWindowTest, ClearTellsNothingWhenTheCacheFileOrItsHeaderIsMissing)
{
    for (const wchar_t* left : {L"effects_cache", L"effects_cache.header", L""}) {
        prompts_.told.clear();
        if (*left)
            write_bytes(local_ / left, "left");
        modal_steps script({{now(), click(172 + 40, 149)}, {now(), click(cancel_x, cancel_y)}});
        EXPECT_EQ(window_->show_modal(), 0);
        EXPECT_EQ(prompts_.told, std::vector<std::string>{}) << "the file left: \"" << left << "\"";
        EXPECT_FALSE(qzsdk::get_file_info(local_ / L"effects_cache").exists);
        EXPECT_FALSE(qzsdk::get_file_info(local_ / L"effects_cache.header").exists);
    }
}

TEST_F(PreferencesWindowTest, ChooseTakesTheFolderPickedAndTheTooltipNamesItAlone)
{
    temp_folder picked;
    dialog_driver dialogs(dialog_driver::answer::ok, picked.get().wide());
    modal_steps script({{now(), click(212, 122)},
                        {[&] { return settings_.capture_folder != capture_.get().to_utf8(); }, click(cancel_x, cancel_y)}});
    EXPECT_EQ(window_->show_modal(), 0);
    EXPECT_EQ(dialogs.titles(), (std::vector<std::wstring>{L"Select Folder"}));
    EXPECT_EQ(path::from_utf8(settings_.capture_folder).file_name(), picked.get().file_name());
    auto tips = qzsdk::ui::tooltip_test_api::regions(*window_, &PreferencesWindowTestApi(*window_).choose_button());
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].text, settings_.capture_folder);
}

TEST_F(PreferencesWindowTest, TheTopThirtyUnitsDragTheWindowAndTheRestDoesNot)
{
    auto drag = [this](int y) {
        RECT before{};
        GetWindowRect(window_->handle(), &before);
        SetCursorPos(before.left + 600, before.top + y);
        PostMessageW(window_->handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(600, y));
        qzsdk::test::pump_messages();
        SetCursorPos(before.left + 640, before.top + y + 20);
        PostMessageW(window_->handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(640, y + 20));
        qzsdk::test::pump_messages();
        PostMessageW(window_->handle(), WM_LBUTTONUP, 0, MAKELPARAM(640, y + 20));
        qzsdk::test::pump_messages();
        RECT after{};
        GetWindowRect(window_->handle(), &after);
        return std::pair{after.left - before.left, after.top - before.top};
    };
    ShowWindow(window_->handle(), SW_SHOWNOACTIVATE);
    EXPECT_EQ(drag(29), (std::pair{40L, 20L}));
    EXPECT_EQ(drag(30), (std::pair{0L, 0L}));
    EXPECT_EQ(qzsdk::ui::captured_widget(), nullptr);
}

TEST_F(PreferencesWindowTest, ThePaintFollowsTheChosenColourWithoutTouchingAnythingElse)
{
    const std::vector<EffectsTheme>& themes = popup_->themes();
    EXPECT_TRUE(qzsdk::test::looks_like(qzsdk::test::window_snapshot(*window_).pixel(500, 250),
                                        themes[0].dialog_back_color));
    settings_.ui_color = 1;
    window_->ApplyTheme(1, false);
    qzsdk::test::window_snapshot light(*window_);
    EXPECT_TRUE(qzsdk::test::looks_like(light.pixel(500, 250), themes[1].dialog_back_color));
    EXPECT_TRUE(qzsdk::test::looks_like(light.pixel(110, 41), themes[1].dropdown_back_color));  // the colour box
    EXPECT_EQ(PreferencesWindowTestApi(*window_).current_theme(), &themes[1]);
}
