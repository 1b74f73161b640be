#pragma once
// The in-memory After Effects project the stand-in serves to the module, read from a JSON project file.
#include "host/sdk/host_types.h"

#include <string>
#include <string_view>
#include <vector>

namespace standin {

struct InstalledEffect {
    std::string name;      // UTF-8; served in the ANSI code page
    std::string category;  // empty: a preset-like effect, in no Effect submenu
    bool greyed = false;   // its Effect menu item is disabled
    bool refuse = false;   // its Effect menu command does nothing
};

struct Layer {
    std::string name;
    AEGP_ObjectType type = AEGP_ObjectType_AV;
    int source_item = -1;  // index into Project::items, -1 for none

    // Cameras and lights take no effects or presets.
    bool takes_effects() const { return type != AEGP_ObjectType_CAMERA && type != AEGP_ObjectType_LIGHT; }
};

struct Item {
    std::string name;
    AEGP_ItemType type = AEGP_ItemType_COMP;
    int width = 1920;
    int height = 1080;
    A_Ratio pixel_aspect{1, 1};
    A_Time current_time{0, 1};
    std::vector<Layer> layers;  // compositions only
};

struct Project {
    std::string name;
    int bits_per_channel = 8;  // 8, 16 or 32
    bool suppress_interactive_ui = false;
    bool color_managed = false;
    double frame_alpha = 1.0;  // the alpha of every rendered pixel, 0 to 1
    // Where the module's news check asks ("host:port"); by default a loopback port that answers nothing.
    std::string news_server = "127.0.0.1:1";
    std::vector<InstalledEffect> effects;
    std::vector<std::string> host_presets;  // relative paths under the host's "Presets" folder
    std::vector<std::string> user_presets;  // relative paths under the user's "User Presets" folder
    std::vector<Item> items;
    int active_item = -1;   // index into items, -1 for none
    int active_layer = -1;  // index into the active item's layers, -1 for none
    // Suites this host does not provide, as (name, version): an older or a stripped-down host.
    std::vector<std::pair<std::string, int>> withheld_suites;

    bool withholds_suite(std::string_view name, int version) const;

    Layer* find_active_layer();
    // Null when the indices name no layer.
    const Layer* layer_at(int item, int layer) const;
    // Makes the named layer active, searching the active composition first; false when no layer has the name.
    bool select_layer(std::string_view name);
    int find_item(std::string_view name) const;
};

// Throws std::runtime_error with a message naming the fault for malformed or inconsistent input.
Project parse_project(std::string_view json);
Project load_project_file(const std::wstring& path);

}  // namespace standin
