#include "host/effects_popup.h"
#include "host/plugin_main.h"
#include "host/status_script.h"
#include "host/sdk/script_tagged_value.h"
#include "popup/effects_theme.h"
#include "popup/settings_file.h"

#include "standin/host.h"
#include "tests/host/host_test_project.h"
#include "tests/preferences/preferences_window_test_api.h"
#include "tests/support/menu_driver.h"
#include "tests/support/modal_script.h"
#include "toolkit/platform/shell.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/ui/image_handle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <variant>

using qzsdk::ui::embedded_image;

namespace {

using Argument = std::variant<std::string, double, int32_t>;

struct ScriptCall {
    int32_t code;
    ScriptTaggedValue result;
};

// Calls the export as the engine does: the verb first; the result starts as a marker.
ScriptCall call_script(std::vector<Argument> arguments)
{
    std::vector<ScriptTaggedValue> values;
    for (Argument& argument : arguments) {
        ScriptTaggedValue value{};
        if (auto* text = std::get_if<std::string>(&argument)) {
            value.string = text->data();
            value.type = script_value_string;
        } else if (auto* number = std::get_if<double>(&argument)) {
            value.number = *number;
            value.type = script_value_double;
        } else {
            value.integer = std::get<int32_t>(argument);
            value.type = script_value_integer;
        }
        values.push_back(value);
    }
    ScriptCall call{};
    call.result.type = -77;
    call.code = execute(values.data(), static_cast<int32_t>(values.size()), &call.result);
    return call;
}

void expect_integer(const ScriptCall& call, int32_t value)
{
    EXPECT_EQ(call.code, script_call_ok);
    EXPECT_EQ(call.result.type, script_value_integer);
    EXPECT_EQ(call.result.integer, value);
}

void expect_undefined(const ScriptCall& call)
{
    EXPECT_EQ(call.code, script_call_ok);
    EXPECT_EQ(call.result.type, script_value_undefined);
}

void expect_refused(const ScriptCall& call)
{
    EXPECT_EQ(call.code, script_call_bad_arguments);
    EXPECT_EQ(call.result.type, -77);  // untouched
}

std::string take_script_text(ScriptCall& call)
{
    EXPECT_EQ(call.code, script_call_ok);
    EXPECT_EQ(call.result.type, script_value_script);
    if (call.result.type != script_value_script || !call.result.string)
        return {};
    std::string text = call.result.string;
    ESFreeMem(call.result.string);
    return text;
}

// The bytes of a string literal written as \xNN escapes only; empty when anything else is in it.
std::string unescape_hex(std::string_view literal)
{
    std::string bytes;
    for (size_t i = 0; i + 4 <= literal.size(); i += 4) {
        if (literal[i] != '\\' || literal[i + 1] != 'x')
            return {};
        bytes += static_cast<char>(std::stoi(std::string(literal.substr(i + 2, 2)), nullptr, 16));
    }
    return literal.size() % 4 == 0 ? bytes : std::string();
}

qzsdk::path local_settings_file()
{
    return MakerFolders::standard().local.join(qzsdk::path(settings_file_name));
}

const char* const command_verbs[] = {"screenshot", "export", "gallery", "logo"};

class ScriptInterfaceTest : public testing::Test {
protected:
    ScriptInterfaceTest() { host_test::remove_local_files(); }
    ~ScriptInterfaceTest() override
    {
        host_.run_death_hooks();
        g_effects_popup.reset();
        host_test::remove_local_files();
    }

    void start() { host_.call_entry(&PluginMain, 115, 0); }
    EffectsPopup& state() { return *g_effects_popup; }

    standin::Host host_{host_test::catalogue_project()};
};

}  // namespace

TEST_F(ScriptInterfaceTest, WithoutAStateObjectOrAPopupCommandsAnswerMinusOne)
{
    for (const char* verb : {"screenshot", "news", "preferences", "unknown"})
        expect_integer(call_script({verb}), -1);
    expect_integer(call_script({"shortcut", 2}), -1);
    ScriptCall status = call_script({"requeststatus"});
    EXPECT_EQ(take_script_text(status).rfind("var shortcutValue = 0;\n", 0), 0u);
    start();
    for (const char* verb : command_verbs)
        expect_undefined(call_script({verb}));
    expect_integer(call_script({"news"}), -1);
    expect_integer(call_script({"preferences"}), 0);
    expect_integer(call_script({"Screenshot"}), -1);  // verbs are case-sensitive
    EXPECT_TRUE(host_.book().message_boxes.empty());
}

TEST_F(ScriptInterfaceTest, ShortcutBeforeTheFirstIdleCallSurvivesIt)
{
    start();
    PopupSettings stored;
    stored.ui_color = 1;
    stored.capture_folder = "C:\\Captures";
    qzsdk::create_directories(MakerFolders::standard().local);
    ASSERT_TRUE(write_settings_file(local_settings_file(), stored));

    expect_undefined(call_script({"shortcut", 3}));
    EXPECT_EQ(state().settings().hotkey_mode, 3u);
    EXPECT_EQ(ReadStoredHotkeyMode(MakerFolders::standard()), 3u);
    host_.run_idle();
    ASSERT_NE(state().popup_window(), nullptr);
    EXPECT_EQ(state().settings().hotkey_mode, 3u);
    // The rest of the file is the user's and stays.
    EXPECT_EQ(state().settings().ui_color, 1u);
    EXPECT_EQ(state().settings().capture_folder, "C:\\Captures");
}

TEST_F(ScriptInterfaceTest, AfterTheFirstIdleCallShortcutStoresAndSaves)
{
    start();
    host_.run_idle();
    ASSERT_NE(state().popup_window(), nullptr);
    std::vector<std::wstring> opened;
    auto previous = qzsdk::set_shell_launcher([&](const qzsdk::shell_request& request) { opened.push_back(request.file); });
    {
        // The export verb opens the export menu, which waits for the user: dismissed here.
        qzsdk::test::menu_driver dismiss({});
        for (const char* verb : command_verbs)
            expect_undefined(call_script({verb}));
        EXPECT_TRUE(dismiss.opened());
    }
    qzsdk::set_shell_launcher(previous);
    ASSERT_EQ(opened.size(), 1u);  // the logo verb opens the news page
    EXPECT_NE(opened[0].find(L"products/recent/"), std::wstring::npos);
    expect_integer(call_script({"news"}), -1);

    expect_undefined(call_script({"shortcut", 2.9}));
    EXPECT_EQ(state().settings().hotkey_mode, 2u);
    EXPECT_EQ(ReadStoredHotkeyMode(MakerFolders::standard()), 2u);
    // The verb answers once the window it opens is closed, with the mode chosen there.
    qzsdk::test::modal_steps choose({{[] { return qzsdk::test::find_window(L"Preferences") != nullptr; }, [] {
        auto* window = dynamic_cast<PreferencesWindow*>(qzsdk::test::find_window(L"Preferences"));
        PreferencesWindowTestApi(*window).hotkey_box().select_index(hotkey_shift_space, false, 0);
        qzsdk::test::post_click(window->handle(), 395, 41);  // OK
    }}});
    expect_integer(call_script({"preferences"}), int32_t(hotkey_shift_space));
    EXPECT_EQ(ReadStoredHotkeyMode(MakerFolders::standard()), hotkey_shift_space);

    expect_undefined(call_script({"shortcut", std::string("fast")}));
    EXPECT_EQ(state().settings().hotkey_mode, 0u);
    EXPECT_EQ(ReadStoredHotkeyMode(MakerFolders::standard()), 0u);
    EXPECT_TRUE(host_.book().message_boxes.empty());
}

TEST_F(ScriptInterfaceTest, BadArgumentsAnswerTwentyAndChangeNothing)
{
    start();
    host_.run_idle();
    state().settings().hotkey_mode = 1;
    ScriptTaggedValue verb{}, result{};
    verb.type = script_value_string;  // with no string
    EXPECT_EQ(execute(&verb, 0, &result) + execute(nullptr, 1, &result) + execute(&verb, 1, &result),
              3 * script_call_bad_arguments);
    for (std::vector<Argument> arguments : std::vector<std::vector<Argument>>{
             {2}, {2.5}, {"shortcut"}, {"shortcut", 1, 2}, {"shortcut", 7}, {"shortcut", -1},
             {"shortcut", 4.5e300}, {"shortcut", std::nan("")}}) {
        expect_refused(call_script(arguments));
    }
    EXPECT_EQ(state().settings().hotkey_mode, 1u);
    EXPECT_TRUE(host_.book().message_boxes.empty());
}

TEST_F(ScriptInterfaceTest, AVerbWithoutItsTerminatorIsNotReadPastItsLength)
{
    // "logox" at the very end of a readable page: the byte after it cannot be read.
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    auto* pages = static_cast<char*>(
        VirtualAlloc(nullptr, system.dwPageSize * 2, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old_protection = 0;
    ASSERT_TRUE(VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &old_protection));
    char* verb_text = pages + system.dwPageSize - 5;
    std::memcpy(verb_text, "logox", 5);
    ScriptTaggedValue verb{}, result{};
    verb.string = verb_text;
    verb.type = script_value_string;
    EXPECT_EQ(execute(&verb, 1, &result), script_call_ok);
    EXPECT_EQ(result.integer, -1);
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST_F(ScriptInterfaceTest, FailuresAreReportedAndNeverReachTheEngine)
{
    start();
    ScriptTaggedValue verb{};
    verb.string = reinterpret_cast<char*>(uintptr_t(16));
    verb.type = script_value_string;
    ScriptTaggedValue result{};
    EXPECT_EQ(execute(&verb, 1, &result), script_call_bad_arguments);
    ASSERT_EQ(host_.book().message_boxes.size(), 1u);
    const std::string& text = host_.book().message_boxes[0].text;
    EXPECT_EQ(text.rfind("Please compress the following file and contact support (", 0), 0u) << text;
    DeleteFileA(text.substr(text.rfind('\n') + 1).c_str());

    host_.run_idle();
    host_.withhold_suite("AEGP Layer Suite", 14);
    expect_refused(call_script({"screenshot"}));
    ASSERT_EQ(host_.book().message_boxes.size(), 2u);
    EXPECT_EQ(host_.book().message_boxes[1].caption, "Zephrin exception");
}

TEST_F(ScriptInterfaceTest, StatusScriptHoldsTheStoredModeAndSixQuarterSizeButtons)
{
    start();
    PopupSettings stored;
    stored.hotkey_mode = 3;
    qzsdk::create_directories(MakerFolders::standard().local);
    ASSERT_TRUE(write_settings_file(local_settings_file(), stored));

    ScriptCall call = call_script({"requeststatus", 1});
    std::string text = take_script_text(call);
    std::istringstream lines(text);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "var shortcutValue = 3;");

    const std::vector<EffectsTheme> themes = build_effects_themes();
    const embedded_image& screenshot = themes.front().screenshot_image;
    for (int index = 0; index < 6; ++index) {
        ASSERT_TRUE(std::getline(lines, line));
        std::string prefix = "var button" + std::to_string(index) + "Hex = \"";
        ASSERT_EQ(line.rfind(prefix, 0), 0u) << index;
        ASSERT_TRUE(line.ends_with("\";"));
        if (index > 0)
            continue;
        std::string png = unescape_hex(std::string_view(line).substr(prefix.size(), line.size() - prefix.size() - 2));
        qzsdk::ui::image original, reduced;
        ASSERT_TRUE(original.load_from_memory(screenshot.data, screenshot.length, 1.0f));
        ASSERT_TRUE(reduced.load_from_memory(png.data(), png.size(), 1.0f));
        EXPECT_EQ(reduced.width(), original.width() / 4);
        EXPECT_EQ(reduced.height(), original.height() / 4);
    }
    EXPECT_FALSE(std::getline(lines, line));
}

TEST(StatusScript, AButtonLineStartsWithThePngSignatureAndRefusesACutImage)
{
    qzsdk::ui::image_handle picture(std::make_unique<qzsdk::ui::image>());
    ASSERT_TRUE(picture->create_blank(2, 3, qzsdk::ui::image_format_png));
    const std::vector<uint8_t> png = picture.encode_png();
    std::ostringstream out;
    PngToScriptHex(out, png.data(), png.size(), 4);  // a quarter of nothing is still one pixel
    EXPECT_EQ(out.str().rfind("var button4Hex = \"\\x89\\x50\\x4e\\x47", 0), 0u) << out.str().substr(0, 40);
    EXPECT_THROW(PngToScriptHex(out, png.data(), 10, 0), std::exception);
}
