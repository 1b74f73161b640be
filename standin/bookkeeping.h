#pragma once
// What the module did to the host, for tests and for the session's state.json.
#include "host/sdk/host_types.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace standin {

struct SuiteUse {
    int acquired = 0;
    int released = 0;
};

struct IdleHookRecord {
    AEGP_PluginID plugin_id;
    AEGP_IdleHook hook;
    AEGP_IdleRefcon refcon;
};

struct DeathHookRecord {
    AEGP_PluginID plugin_id;
    AEGP_DeathHook hook;
    AEGP_DeathRefcon refcon;
};

struct MessageBoxRecord {
    std::string caption;  // UTF-8
    std::string text;
};

struct ScriptRecord {
    std::string text;    // UTF-8, exactly as sent
    bool succeeded;
    std::string answer;  // the result text, or the error text
};

// A call of the module's script interface, as the host's script engine makes it.
struct ScriptCallRecord {
    std::string verb;
    std::vector<std::string> args;
    int32_t code;
    std::string result;  // "undefined", a number, or the returned text
};

// A top-level window of the module that was shown during the session.
struct ShownWindow {
    uintptr_t handle;  // 0 once the window is destroyed
    std::string window_class;
    std::string title;  // UTF-8
    std::array<long, 4> rect;  // x, y, width, height in screen pixels, as last seen
    bool visible;  // at the end of the session
};

// A visible window of the module in a screenshot, and what the screen showed at its centre.
struct ScreenshotWindow {
    std::string title;   // UTF-8
    std::string centre;  // "rrggbb"
};

// What a session's screenshot showed.
struct ScreenshotRecord {
    std::string window;  // the title of the foremost window of the module, empty when none was visible
    std::string theme;   // "dark" or "light": that window's pixels, or the whole screen's without one
    bool one_colour = false;  // the whole screen in one colour: nothing was drawn
    bool window_one_colour = false;  // that window's area in one colour: the window was not drawn
    std::vector<ScreenshotWindow> stack;  // the module's visible windows, the foremost first
};

enum class ApplyRoute { menu_command, apply_effect, script };

struct Application {
    int item;  // indices into the project
    int layer;
    std::string name;  // effect name, or the preset file's name without extension
    bool is_preset;
    ApplyRoute route;
};

struct Bookkeeping {
    std::map<std::pair<std::string, int>, SuiteUse> suites;  // by (name, version)
    std::vector<std::pair<std::string, int>> missing_suites;  // asked for but not served
    std::vector<IdleHookRecord> idle_hooks;
    std::vector<DeathHookRecord> death_hooks;
    std::vector<MessageBoxRecord> message_boxes;
    std::vector<ScriptRecord> scripts;
    std::vector<ScriptCallRecord> script_calls;
    std::vector<Application> applications;
    std::vector<ShownWindow> shown_windows;
    std::map<std::string, ScreenshotRecord> screenshots;  // by name
    int live_effect_refs = 0;
    int live_mem_handles = 0;
    int live_render_objects = 0;  // render options, frame receipts, worlds and colour conversions
    int idle_calls = 0;
    int refused_idle_reentries = 0;
    int death_hook_calls = 0;

    bool suites_balanced() const;
    int effect_count(int item, int layer) const;
};

const char* route_name(ApplyRoute route);

}  // namespace standin
