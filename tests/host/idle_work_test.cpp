#include "host/effect_list_builder.h"
#include "host/effects_popup.h"
#include "host/plugin_main.h"
#include "host/session/choose_entry_by_name.h"
#include "popup/effects_popup_window.h"

#include "standin/host.h"
#include "tests/host/effects_popup_test_api.h"
#include "tests/host/host_test_project.h"
#include "tests/support/effects_popup_window_test_api.h"
#include "tests/support/file_holder.h"
#include "tests/support/key_state.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_folder.h"
#include "toolkit/platform/file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

using qzsdk::test::key_state;
using standin::ApplyRoute;

namespace {

// The module's entry and hooks running in this process against a visible stand-in host.
class IdleWorkTest : public testing::Test {
protected:
    IdleWorkTest()
    {
        host_test::remove_local_files();
        qzsdk::remove_tree(GetHostPresetsFolder());
        host_.call_entry(&PluginMain, 115, 0);
        host_.run_idle();
    }
    ~IdleWorkTest() override
    {
        host_.run_death_hooks();
        g_effects_popup.reset();
        host_test::remove_local_files();
        qzsdk::remove_tree(GetHostPresetsFolder());
    }

    EffectsPopup& state() { return *g_effects_popup; }
    bool choose(const std::string& name)
    {
        bool chosen = ChooseEntryByName(state(), name);
        host_.run_idle();
        return chosen;
    }
    std::vector<std::pair<std::string, ApplyRoute>> applied()
    {
        std::vector<std::pair<std::string, ApplyRoute>> result;
        for (const standin::Application& application : host_.book().applications)
            result.emplace_back(application.name, application.route);
        return result;
    }
    const EffectEntry* entry(const std::string& name)
    {
        for (const EffectEntry& entry : state().popup_window()->entries())
            if (entry.name == name)
                return &entry;
        return nullptr;
    }

    // A favourite saved, then the file changed behind the popup's back: what the death hook writes shows.
    qzsdk::path stale_search_file()
    {
        state().popup_window()->AddToList(entry("Gaussian Blur"), false);
        const qzsdk::path file = MakerFolders::standard().local.join(qzsdk::path(search_file_name));
        qzsdk::test::write_bytes(file, "stale");
        return file;
    }
    // Runs the death hook, closing and naming each warning it shows.
    std::vector<std::wstring> death_hook_warnings()
    {
        std::vector<std::wstring> told;
        auto closes = [&told](const wchar_t* title) {
            return qzsdk::test::modal_steps::step{[title] { return qzsdk::test::find_window(title) != nullptr; },
                                                  [&told, title] {
                                                      told.push_back(title);
                                                      qzsdk::test::post_key(
                                                          qzsdk::test::find_window(title)->handle(), VK_ESCAPE);
                                                  }};
        };
        qzsdk::test::modal_steps closer({closes(L"Failed to Save")});
        host_.run_death_hooks();
        return told;
    }

    standin::Host host_{host_test::catalogue_project(), true};
};

bool temporaries_beside(const qzsdk::path& file)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((file.wide() + L".~*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

}  // namespace

TEST_F(IdleWorkTest, EffectsGoThroughTheMenuElseTheEffectSuite)
{
    ASSERT_TRUE(choose("Gaussian Blur"));
    ASSERT_TRUE(choose("fill & stroke"));
    ASSERT_TRUE(choose("Lueur dor\xC3\xA9" "e"));
    ASSERT_TRUE(choose("Cineon Converter"));  // its menu item is greyed
    ASSERT_TRUE(choose("Locked Effect"));     // the host refuses its menu command
    ASSERT_TRUE(choose("Lone Greyed"));       // its whole category is greyed
    EXPECT_FALSE(choose("Not Installed"));
    EXPECT_EQ(applied(), (std::vector<std::pair<std::string, ApplyRoute>>{
                             {"Gaussian Blur", ApplyRoute::menu_command},
                             {"Fill & Stroke", ApplyRoute::menu_command},
                             {"Lueur dor\xC3\xA9" "e", ApplyRoute::menu_command},
                             {"Cineon Converter", ApplyRoute::apply_effect},
                             {"Locked Effect", ApplyRoute::apply_effect},
                             {"Lone Greyed", ApplyRoute::apply_effect}}));
    EXPECT_EQ(host_.book().live_effect_refs, 0);
    EXPECT_FALSE(EffectsPopupTestApi(state()).pending_choice());
}

TEST_F(IdleWorkTest, PresetsRunTheirScriptWithForwardSlashes)
{
    ASSERT_TRUE(choose("Aurora"));
    ASSERT_EQ(host_.book().scripts.size(), 1u);
    std::string path = GetHostPresetsFolder().join(qzsdk::path(L"Backgrounds/Deep/Aurora.ffx")).to_utf8();
    std::replace(path.begin(), path.end(), '\\', '/');
    EXPECT_EQ(host_.book().scripts[0].text, "app.project.activeItem.applyPreset(new File(\"" + path + "\"));");
    EXPECT_TRUE(host_.book().scripts[0].succeeded);
    EXPECT_EQ(host_.book().live_mem_handles, 0);
    // Without the Memory suite the script is not run at all: its answers could not be freed.
    host_.withhold_suite("AEGP Memory Suite", 1);
    EXPECT_TRUE(choose("Aurora"));
    EXPECT_EQ(host_.book().scripts.size(), 1u);
    EXPECT_EQ(host_.book().live_mem_handles, 0);
    EXPECT_EQ(host_.book().message_boxes.size(), 1u);
    // An empty-category effect whose name no host preset has is applied as an effect.
    ASSERT_TRUE(choose("Slide Up"));
    EXPECT_EQ(applied().back(), std::make_pair(std::string("Slide Up"), ApplyRoute::apply_effect));
}

TEST_F(IdleWorkTest, WithoutALayerTheChoiceIsDropped)
{
    ASSERT_TRUE(host_.project().select_layer("Camera 1"));
    ASSERT_TRUE(choose("Gaussian Blur"));
    EXPECT_TRUE(applied().empty());
    EXPECT_FALSE(EffectsPopupTestApi(state()).pending_choice());
    ASSERT_TRUE(host_.project().select_layer("Title"));
    host_.run_idle();
    EXPECT_TRUE(applied().empty());
}

TEST_F(IdleWorkTest, TheOverrideOfAnAliasIsWhatGetsApplied)
{
    qzsdk::path local = MakerFolders::standard().local;
    ASSERT_TRUE(qzsdk::get_file_info(local.join(qzsdk::path(settings_file_name))).exists);
    state().popup_window()->AddToList(entry("Gaussian Blur"), false);
    EffectsPopupWindow& popup = *state().popup_window();
    EffectLists lists = popup.lists();
    lists.aliases.push_back({"soft", entry("Gaussian Blur"), entry("Fill & Stroke")});
    ASSERT_TRUE(EffectsPopupWindow::WriteEffectFiles(lists, local));
    popup.SetEffects(popup.entries());
    ASSERT_TRUE(choose("Gaussian Blur"));
    EXPECT_EQ(applied(), (std::vector<std::pair<std::string, ApplyRoute>>{{"Fill & Stroke", ApplyRoute::menu_command}}));
}

TEST_F(IdleWorkTest, TheHotkeyOpensThePopupOnlyWhileTheHostIsInFrontAndASecondPressHidesIt)
{
    key_state keys;
    EffectsPopupWindow& window = *state().popup_window();
    EffectsPopupWindowTestApi popup(window);
    auto press_space = [&] {
        keys.press(VK_SPACE);
        host_.run_idle();
        keys.release(VK_SPACE);
        host_.run_idle();
    };
    SetForegroundWindow(host_.main_window());
    keys.press(VK_LCONTROL);
    keys.press(VK_SPACE);
    host_.run_idle();
    EXPECT_TRUE(window.is_visible());
    EXPECT_EQ(popup.layer_name(), "Title");
    EXPECT_EQ(popup.comp_name(), "Main Comp");
    EXPECT_EQ(popup.project_name(), "Shot");

    // Held down: nothing more happens; the next press hides the popup, the one after shows it again.
    ASSERT_TRUE(host_.project().select_layer(""));
    host_.run_idle();
    EXPECT_TRUE(window.is_visible());
    keys.release(VK_SPACE);
    host_.run_idle();
    press_space();
    EXPECT_FALSE(window.is_visible());
    SetForegroundWindow(host_.main_window());
    press_space();
    EXPECT_EQ(popup.layer_name(), "Logo.png");
    press_space();
    EXPECT_FALSE(window.is_visible());

    // A window the host owns counts as the host; an unrelated one does not.
    ASSERT_TRUE(host_.project().select_layer("Camera 1"));
    HWND unrelated = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                     nullptr, nullptr);
    SetForegroundWindow(unrelated);
    press_space();
    EXPECT_FALSE(window.is_visible());
    DestroyWindow(unrelated);

    HWND owned = CreateWindowExW(0, L"STATIC", L"owned", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, host_.main_window(),
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(owned);
    press_space();
    EXPECT_TRUE(window.is_visible());
    EXPECT_EQ(popup.layer_name(), "");
    EXPECT_FALSE(popup.has_layer());
    DestroyWindow(owned);
}

TEST_F(IdleWorkTest, AnEntryChosenInThePopupIsAppliedAtTheNextIdleCallFromACopy)
{
    EffectsPopupWindow& window = *state().popup_window();
    int32_t result = 0;
    state().SendPopupCommand(result, popup_command_show);
    ASSERT_TRUE(window.is_visible());
    EffectsPopupWindowTestApi popup(window);
    popup.Search("gaussian");
    window.set_focus_widget(&popup.search_box().inside, 0);  // as the popup's timer does 250 ms after showing
    SendMessageW(window.handle(), WM_CHAR, L'\r', 0);  // Enter in the search box
    EXPECT_FALSE(window.is_visible());
    ASSERT_TRUE(EffectsPopupTestApi(state()).pending_choice());
    window.SetEffects({});  // the entry the event pointed at is gone; the pending choice is a copy
    EXPECT_TRUE(applied().empty());
    host_.run_idle();
    EXPECT_EQ(applied(), (std::vector<std::pair<std::string, ApplyRoute>>{{"Gaussian Blur", ApplyRoute::menu_command}}));
}

TEST_F(IdleWorkTest, TheDeathHookSavesAndLeavesNoWindowButTheHostWindowAlive)
{
    HWND popup_handle = state().popup_window()->handle();
    ASSERT_TRUE(IsWindow(popup_handle));
    ASSERT_EQ(GetWindow(popup_handle, GW_OWNER), host_.main_window());
    host_.run_death_hooks();
    EXPECT_EQ(state().popup_window(), nullptr);
    EXPECT_EQ(state().owner_window(), nullptr);
    EXPECT_FALSE(IsWindow(popup_handle));
    EXPECT_TRUE(IsWindow(host_.main_window()));  // the wrapper never destroys the host's window
    qzsdk::path local = MakerFolders::standard().local;
    EXPECT_TRUE(qzsdk::get_file_info(local.join(qzsdk::path(search_file_name))).exists);
}

// A virus scanner, a backup or an indexer holds the list file without delete sharing as the host quits.
TEST_F(IdleWorkTest, TheDeathHookWaitsOutAMomentaryHoldOnAListFile)
{
    const qzsdk::path file = stale_search_file();
    qzsdk::test::file_holder scanner(file, 200);
    ASSERT_TRUE(scanner.held()) << "the holder thread did not open the file";
    EXPECT_TRUE(death_hook_warnings().empty());
    EXPECT_EQ(qzsdk::test::read_bytes(file), "Gaussian Blur\n");
}

TEST_F(IdleWorkTest, TheDeathHookTellsAListFileHeldForGoodAndLeavesItWhole)
{
    const qzsdk::path file = stale_search_file();
    {
        qzsdk::test::file_holder backup(file);
        ASSERT_TRUE(backup.held()) << "the holder thread did not open the file";
        EXPECT_EQ(death_hook_warnings(), std::vector<std::wstring>{L"Failed to Save"});
    }
    EXPECT_EQ(state().popup_window(), nullptr);
    EXPECT_EQ(qzsdk::test::read_bytes(file), "stale");
    EXPECT_FALSE(temporaries_beside(file));
}

// Read-only lists of a user who changed none of them at this quit: the file, read again, gives the lists as
// they are, though written otherwise by hand, so nothing is lost and nothing is told.
TEST_F(IdleWorkTest, TheDeathHookTellsNothingWhenAListFileItCannotWriteHoldsTheListsAlready)
{
    const qzsdk::path file = MakerFolders::standard().local.join(qzsdk::path(search_file_name));
    qzsdk::test::write_bytes(file, "GAUSSIAN BLUR\r\n");
    state().popup_window()->LoadSearchFile();
    EXPECT_TRUE(choose("Gaussian Blur"));
    qzsdk::test::file_holder backup(file);
    ASSERT_TRUE(backup.held()) << "the holder thread did not open the file";
    EXPECT_TRUE(death_hook_warnings().empty());
    EXPECT_EQ(qzsdk::test::read_bytes(file), "GAUSSIAN BLUR\r\n");
}

// An edit whose own save failed unseen is lost when the quit cannot write it either: that is told.
TEST_F(IdleWorkTest, TheDeathHookTellsAnEditTheListFileCouldNotTake)
{
    const qzsdk::path file = MakerFolders::standard().local.join(qzsdk::path(search_file_name));
    qzsdk::test::write_bytes(file, "GAUSSIAN BLUR\r\n");
    state().popup_window()->LoadSearchFile();
    qzsdk::test::file_holder backup(file);
    ASSERT_TRUE(backup.held()) << "the holder thread did not open the file";
    state().popup_window()->AddToList(entry("Fill & Stroke"), true);
    EXPECT_EQ(death_hook_warnings(), std::vector<std::wstring>{L"Failed to Save"});
    EXPECT_EQ(qzsdk::test::read_bytes(file), "GAUSSIAN BLUR\r\n");
}
