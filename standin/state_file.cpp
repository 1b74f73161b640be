#include "standin/state_file.h"

#include <windows.h>

#include <memory>
#include <stdexcept>

namespace standin {

namespace {

using json = nlohmann::json;

json layers_json(const Bookkeeping& book, const Project& project)
{
    json layers = json::array();
    for (const Application& applied : book.applications) {
        json* entry = nullptr;
        for (json& layer : layers)
            if (layer["item"] == applied.item && layer["layer"] == applied.layer)
                entry = &layer;
        if (!entry) {
            const Layer* layer = project.layer_at(applied.item, applied.layer);
            layers.push_back({{"item", applied.item},
                              {"layer", applied.layer},
                              {"composition", layer ? project.items[applied.item].name : ""},
                              {"name", layer ? layer->name : ""},
                              {"applied", json::array()}});
            entry = &layers.back();
        }
        (*entry)["applied"].push_back({{"name", applied.name},
                                       {"kind", applied.is_preset ? "preset" : "effect"},
                                       {"route", route_name(applied.route)}});
    }
    return layers;
}

}  // namespace

json bookkeeping_json(const Bookkeeping& book, const Project& project)
{
    json state;
    json suites = json::array();
    for (const auto& [key, use] : book.suites)
        suites.push_back(
            {{"name", key.first}, {"version", key.second}, {"acquired", use.acquired}, {"released", use.released}});
    state["suites"] = suites;
    state["suites_balanced"] = book.suites_balanced();
    json missing = json::array();
    for (const auto& [name, version] : book.missing_suites)
        missing.push_back({{"name", name}, {"version", version}});
    state["missing_suites"] = missing;
    state["hooks"] = {{"idle", book.idle_hooks.size()}, {"death", book.death_hooks.size()}};
    state["idle_calls"] = book.idle_calls;
    state["refused_idle_reentries"] = book.refused_idle_reentries;
    state["death_hook_calls"] = book.death_hook_calls;
    json boxes = json::array();
    for (const MessageBoxRecord& box : book.message_boxes)
        boxes.push_back({{"caption", box.caption}, {"text", box.text}});
    state["message_boxes"] = boxes;
    json scripts = json::array();
    for (const ScriptRecord& script : book.scripts)
        scripts.push_back({{"text", script.text}, {"succeeded", script.succeeded}, {"answer", script.answer}});
    state["scripts"] = scripts;
    json calls = json::array();
    for (const ScriptCallRecord& call : book.script_calls)
        calls.push_back({{"verb", call.verb}, {"args", call.args}, {"code", call.code}, {"result", call.result}});
    state["script_calls"] = calls;
    state["layers"] = layers_json(book, project);
    json windows = json::array();
    for (const ShownWindow& window : book.shown_windows)
        windows.push_back({{"title", window.title},
                           {"class", window.window_class},
                           {"rect", window.rect},
                           {"visible", window.visible}});
    state["windows"] = windows;
    json screenshots = json::object();
    for (const auto& [name, shot] : book.screenshots) {
        json stack = json::array();
        for (const ScreenshotWindow& shown : shot.stack)
            stack.push_back({{"title", shown.title}, {"centre", shown.centre}});
        screenshots[name] = {{"window", shot.window},
                             {"theme", shot.theme},
                             {"one_colour", shot.one_colour},
                             {"window_one_colour", shot.window_one_colour},
                             {"stack", stack}};
    }
    state["screenshots"] = screenshots;
    state["live"] = {{"effect_refs", book.live_effect_refs},
                     {"mem_handles", book.live_mem_handles},
                     {"render_objects", book.live_render_objects}};
    return state;
}

void write_json_file(const std::wstring& path, const json& value)
{
    // Invalid UTF-8 from the module is replaced, not a reason to lose the whole state.
    std::string text = value.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
    std::wstring temporary = path + L".tmp";
    {
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw std::runtime_error("cannot create the state file");
        std::unique_ptr<void, decltype(&CloseHandle)> owner(file, &CloseHandle);
        DWORD written = 0;
        if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size() || !FlushFileBuffers(file))
            throw std::runtime_error("cannot write the state file");
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw std::runtime_error("cannot put the state file in place");
}

}  // namespace standin
