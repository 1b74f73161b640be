#include "standin/session_runner.h"

#include "standin/input.h"
#include "standin/module_choice.h"
#include "standin/screenshot.h"
#include "standin/text_codec.h"

#include <cstdio>

namespace standin {

namespace {

// Long enough for injected input to reach the focused window's queue and be handled.
constexpr DWORD input_settle_ms = 50;

}  // namespace

SessionRunner::SessionRunner(Host& host, std::wstring out_folder)
    : host_(host), out_folder_(std::move(out_folder)), script_interface_(host.module())
{
}

bool SessionRunner::run(const std::vector<SessionCommand>& commands)
{
    for (const SessionCommand& command : commands) {
        std::string failure = run_command(command);
        if (!failure.empty()) {
            std::fprintf(stderr, "standin: line %d: %s: %s\n", command.line, verb_name(command.verb), failure.c_str());
            failures_.push_back({command.line, verb_name(command.verb), failure});
        }
        if (quit_)
            break;
    }
    return failures_.empty();
}

std::string SessionRunner::run_command(const SessionCommand& command)
{
    switch (command.verb) {
    case SessionVerb::idle:
        for (int i = 0; i < command.number; ++i)
            host_.pump(0);
        return {};
    case SessionVerb::wait:
        host_.pump(command.number);
        return {};
    case SessionVerb::select:
        if (!host_.project().select_layer(command.text))
            return "the project has no layer named \"" + command.text + "\"";
        InvalidateRect(host_.main_window(), nullptr, TRUE);
        host_.pump(0);
        return {};
    case SessionVerb::keys:
        return press(*parse_key_chord(command.text));
    case SessionVerb::key:
        return press(KeyChord{{}, *named_key(command.text)});
    case SessionVerb::type:
        if (!send_text(to_wide(command.text)))
            return "the system did not take the typed input";
        host_.pump(input_settle_ms);
        return {};
    case SessionVerb::click:
        if (!send_click(command.number, command.second))
            return "the system did not take the click";
        host_.pump(input_settle_ms);
        return {};
    case SessionVerb::script:
        return script(command);
    case SessionVerb::choose:
        // One idle call carries the choice out, as after the popup's choice.
        if (std::string failure = choose_entry(host_.module(), command.text); !failure.empty())
            return failure;
        host_.pump(0);
        InvalidateRect(host_.main_window(), nullptr, TRUE);
        return {};
    case SessionVerb::screenshot:
        return screenshot(command.text);
    case SessionVerb::quit:
        quit_ = true;
        return {};
    }
    return "unknown command";
}

// Held down across an idle call, so a module that polls the keyboard at idle time sees the press.
std::string SessionRunner::press(const KeyChord& chord)
{
    if (!send_chord(chord, true))
        return "the system did not take the key press";
    host_.pump(input_settle_ms);
    bool released = send_chord(chord, false);
    host_.pump(input_settle_ms);
    return released ? std::string() : "the system did not take the key release";
}

std::string SessionRunner::screenshot(const std::string& name)
{
    if (out_folder_.empty())
        return "no --out folder was given for screenshots";
    std::string file = name.size() > 4 && name.ends_with(".png") ? name : name + ".png";
    host_.pump(0);
    UpdateWindow(host_.main_window());
    try {
        save_screen_png(out_folder_ + L"\\" + to_wide(file));
    } catch (const std::exception& error) {
        return error.what();
    }
    return {};
}

std::string SessionRunner::script(const SessionCommand& command)
{
    auto record = script_interface_.call(command.text, command.args);
    if (!record)
        return "the module has no script interface yet (it exports no \"execute\")";
    host_.book().script_calls.push_back(*record);
    std::printf("script %s: code %d, result %s\n", command.text.c_str(), record->code, record->result.c_str());
    host_.pump(0);
    return record->code == 0 ? std::string() : "execute returned code " + std::to_string(record->code);
}

}  // namespace standin
