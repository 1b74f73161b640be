// The module as the script engine's external object: the panel of the host calls `execute` with a verb.
#include "host/effects_popup.h"
#include "host/report_fatal_error.h"
#include "host/status_script.h"
#include "host/sdk/script_tagged_value.h"
#include "popup/effects_popup_window.h"
#include "popup/settings_file.h"
#include "toolkit/platform/file_system.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>

namespace {

char function_list[] = "execute";

// Compares without reading past the first differing byte, so an engine string that is not terminated
// where it should be is never read beyond the verb's own length plus one.
bool IsVerb(const char* text, std::string_view verb)
{
    for (size_t i = 0; i < verb.size(); ++i)
        if (text[i] != verb[i])
            return false;
    return text[verb.size()] == '\0';
}

ScriptTaggedValue IntegerValue(int32_t value)
{
    ScriptTaggedValue result{};
    result.integer = value;
    result.type = script_value_integer;
    return result;
}

ScriptTaggedValue ScriptText(const std::string& text)
{
    // Freed by ESFreeMem with the same allocator.
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy)
        throw std::bad_alloc();
    std::memcpy(copy, text.c_str(), text.size() + 1);
    ScriptTaggedValue result{};
    result.string = copy;
    result.type = script_value_script;
    return result;
}

// The panel's hotkey value: a number (truncated) or an integer; any other type reads as 0. Empty for a
// value that is no hotkey mode at all.
std::optional<uint32_t> HotkeyModeArgument(const ScriptTaggedValue& value)
{
    double mode = value.type == script_value_double    ? value.number
                  : value.type == script_value_integer ? value.integer
                                                       : 0.0;
    if (!std::isfinite(mode) || mode < 0 || mode >= hotkey_custom + 1)
        return std::nullopt;
    return static_cast<uint32_t>(mode);
}

// Before the first idle call the record holds only defaults and the file is read later: the mode goes into
// the file itself, so the first idle call finds it and no other setting is overwritten.
void StoreHotkeyModeInSettingsFile(uint32_t mode)
{
    MakerFolders folders = MakerFolders::standard();
    if (folders.local.empty())
        return;
    PopupSettings stored;
    read_local_or_common_settings(folders, stored);
    stored.hotkey_mode = mode;
    qzsdk::create_directories(folders.local);
    write_settings_file(folders.local.join(qzsdk::path(settings_file_name)), stored);
}

// The answer of a verb, or empty for bad arguments. May throw: its caller reports.
std::optional<ScriptTaggedValue> RunVerb(EffectsPopup* state, const ScriptTaggedValue* argv, int32_t argc)
{
    const char* verb = argv[0].string;
    ScriptTaggedValue undefined{};
    undefined.type = script_value_undefined;

    if (IsVerb(verb, "requeststatus"))
        return ScriptText(BuildStatusScript(MakerFolders::standard()));
    if (IsVerb(verb, "shortcut")) {
        if (argc != 2)
            return std::nullopt;
        std::optional<uint32_t> mode = HotkeyModeArgument(argv[1]);
        if (!mode)
            return std::nullopt;
        if (!state)
            return IntegerValue(-1);
        state->settings().hotkey_mode = *mode;
        if (state->popup_window()) {
            int32_t ignored = 0;
            state->SendPopupCommand(ignored, popup_command_save);
        } else {
            StoreHotkeyModeInSettingsFile(*mode);
        }
        return undefined;
    }

    struct CommandVerb {
        std::string_view verb;
        PopupCommand command;
    };
    static constexpr CommandVerb command_verbs[] = {
        {"screenshot", popup_command_screenshot}, {"export", popup_command_export_menu},
        {"gallery", popup_command_gallery},       {"preferences", popup_command_preferences},
        {"logo", popup_command_news_page},        {"news", popup_command_news_count},
    };
    for (const CommandVerb& entry : command_verbs) {
        if (!IsVerb(verb, entry.verb))
            continue;
        if (!state)
            return IntegerValue(-1);
        int32_t answer = -1;
        state->SendPopupCommand(answer, entry.command);
        if (entry.command == popup_command_news_count)
            return IntegerValue(answer);
        if (entry.command == popup_command_preferences)
            return IntegerValue(static_cast<int32_t>(state->settings().hotkey_mode));
        return undefined;
    }
    return IntegerValue(-1);
}

}  // namespace

extern "C" char* ESInitialize(const ScriptTaggedValue**, int32_t)
{
    return function_list;
}

extern "C" int32_t ESGetVersion()
{
    return 1;
}

extern "C" void ESTerminate() {}

extern "C" void ESFreeMem(void* pointer)
{
    std::free(pointer);
}

extern "C" int32_t execute(ScriptTaggedValue* argv, int32_t argc, ScriptTaggedValue* result)
{
    if (!argv || argc < 1 || !result || argv[0].type != script_value_string || !argv[0].string)
        return script_call_bad_arguments;
    EffectsPopup* state = g_effects_popup.get();
    SPBasicSuite* basic = state ? state->basic_suite() : nullptr;
    // The script engine is the host's: no exception and no hardware fault of ours may unwind into it. A
    // reported failure answers like bad arguments and leaves the result as it was.
    InstallFaultHandler();
    std::optional<ScriptTaggedValue> answer;
    if (!RunReportingErrors(basic, [&] { answer = RunVerb(state, argv, argc); }) || !answer)
        return script_call_bad_arguments;
    *result = *answer;
    return script_call_ok;
}
