#include "standin/project.h"

#include "standin/file_text.h"

#include <nlohmann/json.hpp>

#include <stdexcept>

namespace standin {

namespace {

using json = nlohmann::json;

[[noreturn]] void fail(const std::string& message) { throw std::runtime_error("project file: " + message); }

std::string text_of(const json& node, const char* key, const std::string& fallback = {})
{
    if (!node.contains(key))
        return fallback;
    if (!node[key].is_string())
        fail(std::string("\"") + key + "\" must be a string");
    return node[key].get<std::string>();
}

int int_of(const json& node, const char* key, int fallback)
{
    if (!node.contains(key))
        return fallback;
    if (!node[key].is_number_integer())
        fail(std::string("\"") + key + "\" must be an integer");
    return node[key].get<int>();
}

bool flag_of(const json& node, const char* key)
{
    if (!node.contains(key))
        return false;
    if (!node[key].is_boolean())
        fail(std::string("\"") + key + "\" must be true or false");
    return node[key].get<bool>();
}

// A pair [numerator, denominator] with a positive denominator.
std::pair<A_long, A_u_long> pair_of(const json& node, const char* key, std::pair<A_long, A_u_long> fallback)
{
    if (!node.contains(key))
        return fallback;
    const json& value = node[key];
    if (!value.is_array() || value.size() != 2 || !value[0].is_number_integer() || !value[1].is_number_integer() ||
        value[1].get<long long>() <= 0)
        fail(std::string("\"") + key + "\" must be [numerator, positive denominator]");
    return {value[0].get<A_long>(), value[1].get<A_u_long>()};
}

AEGP_ObjectType layer_type_of(const json& node)
{
    if (!node.contains("type"))
        return AEGP_ObjectType_AV;
    const json& type = node["type"];
    if (type.is_number_integer()) {
        int code = type.get<int>();
        if (code >= 0 && code <= 4)
            return static_cast<AEGP_ObjectType>(code);
    } else if (type.is_string()) {
        std::string name = type.get<std::string>();
        if (name == "av") return AEGP_ObjectType_AV;
        if (name == "light") return AEGP_ObjectType_LIGHT;
        if (name == "camera") return AEGP_ObjectType_CAMERA;
        if (name == "text") return AEGP_ObjectType_TEXT;
        if (name == "shape") return AEGP_ObjectType_VECTOR;
    }
    fail("a layer's \"type\" must be av, light, camera, text, shape or 0 to 4");
}

std::vector<std::string> paths_of(const json& node, const char* key)
{
    std::vector<std::string> paths;
    if (!node.contains(key))
        return paths;
    if (!node[key].is_array())
        fail(std::string("\"") + key + "\" must be a list of relative paths");
    for (const json& path : node[key]) {
        if (!path.is_string() || path.get<std::string>().empty())
            fail(std::string("\"") + key + "\" must hold non-empty strings");
        std::string text = path.get<std::string>();
        if (text.find("..") != std::string::npos || text.find(':') != std::string::npos || text[0] == '/' ||
            text[0] == '\\')
            fail("preset path \"" + text + "\" must stay inside its folder");
        paths.push_back(text);
    }
    return paths;
}

InstalledEffect effect_of(const json& node)
{
    if (!node.is_object() || !node.contains("name"))
        fail("every effect needs a \"name\"");
    return {text_of(node, "name"), text_of(node, "category"), flag_of(node, "greyed"), flag_of(node, "refuse")};
}

Item item_of(const json& node)
{
    if (!node.is_object() || !node.contains("name"))
        fail("every item needs a \"name\"");
    Item item;
    item.name = text_of(node, "name");
    std::string type = text_of(node, "type", "comp");
    if (type == "comp") item.type = AEGP_ItemType_COMP;
    else if (type == "footage") item.type = AEGP_ItemType_FOOTAGE;
    else if (type == "folder") item.type = AEGP_ItemType_FOLDER;
    else fail("item \"" + item.name + "\": \"type\" must be comp, footage or folder");
    item.width = int_of(node, "width", item.width);
    item.height = int_of(node, "height", item.height);
    if (item.width <= 0 || item.height <= 0 || item.width > 16384 || item.height > 16384)
        fail("item \"" + item.name + "\": width and height must be 1 to 16384");
    auto aspect = pair_of(node, "pixel_aspect", {1, 1});
    item.pixel_aspect = {aspect.first, aspect.second};
    auto time = pair_of(node, "current_time", {0, 1});
    item.current_time = {time.first, time.second};
    return item;
}

}  // namespace

Layer* Project::find_active_layer() { return const_cast<Layer*>(layer_at(active_item, active_layer)); }

const Layer* Project::layer_at(int item, int layer) const
{
    if (item < 0 || item >= static_cast<int>(items.size()))
        return nullptr;
    auto& layers = items[item].layers;
    if (layer < 0 || layer >= static_cast<int>(layers.size()))
        return nullptr;
    return &layers[layer];
}

int Project::find_item(std::string_view name) const
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].name == name)
            return static_cast<int>(i);
    return -1;
}

bool Project::withholds_suite(std::string_view name, int version) const
{
    for (const auto& [withheld_name, withheld_version] : withheld_suites)
        if (withheld_name == name && withheld_version == version)
            return true;
    return false;
}

bool Project::select_layer(std::string_view name)
{
    auto find_in = [&](int item) {
        auto& layers = items[item].layers;
        for (size_t i = 0; i < layers.size(); ++i)
            if (layers[i].name == name) {
                active_item = item;
                active_layer = static_cast<int>(i);
                return true;
            }
        return false;
    };
    if (active_item >= 0 && active_item < static_cast<int>(items.size()) && find_in(active_item))
        return true;
    for (size_t i = 0; i < items.size(); ++i)
        if (find_in(static_cast<int>(i)))
            return true;
    return false;
}

Project parse_project(std::string_view text)
{
    json root = json::parse(text, nullptr, false);
    if (root.is_discarded())
        fail("not valid JSON");
    if (!root.is_object())
        fail("the top level must be an object");
    Project project;
    project.name = text_of(root, "name");
    project.bits_per_channel = int_of(root, "bits_per_channel", 8);
    if (project.bits_per_channel != 8 && project.bits_per_channel != 16 && project.bits_per_channel != 32)
        fail("\"bits_per_channel\" must be 8, 16 or 32");
    project.suppress_interactive_ui = flag_of(root, "suppress_interactive_ui");
    project.color_managed = flag_of(root, "color_managed");
    if (root.contains("frame_alpha")) {
        const json& alpha = root["frame_alpha"];
        if (!alpha.is_number() || alpha.get<double>() < 0.0 || alpha.get<double>() > 1.0)
            fail("\"frame_alpha\" must be a number from 0 to 1");
        project.frame_alpha = alpha.get<double>();
    }
    project.news_server = text_of(root, "news_server", project.news_server);
    // An empty address would leave the module on its maker's server.
    if (project.news_server.empty())
        fail("\"news_server\" must be a \"host:port\"");
    if (root.contains("effects")) {
        if (!root["effects"].is_array())
            fail("\"effects\" must be a list");
        for (const json& effect : root["effects"])
            project.effects.push_back(effect_of(effect));
    }
    if (root.contains("withheld_suites")) {
        if (!root["withheld_suites"].is_array())
            fail("\"withheld_suites\" must be a list");
        for (const json& suite : root["withheld_suites"])
            project.withheld_suites.emplace_back(text_of(suite, "name"), int_of(suite, "version", 0));
    }
    project.host_presets = paths_of(root, "host_presets");
    project.user_presets = paths_of(root, "user_presets");
    if (root.contains("items")) {
        if (!root["items"].is_array())
            fail("\"items\" must be a list");
        for (const json& item : root["items"])
            project.items.push_back(item_of(item));
        // Layers name their source items, so they are read once every item exists.
        for (size_t i = 0; i < project.items.size(); ++i) {
            const json& node = root["items"][i];
            if (!node.contains("layers"))
                continue;
            if (!node["layers"].is_array() || project.items[i].type != AEGP_ItemType_COMP)
                fail("item \"" + project.items[i].name + "\": only a composition has a list of \"layers\"");
            for (const json& layer_node : node["layers"]) {
                if (!layer_node.is_object() || !layer_node.contains("name"))
                    fail("every layer needs a \"name\"");
                Layer layer{text_of(layer_node, "name"), layer_type_of(layer_node), -1};
                if (layer_node.contains("source")) {
                    layer.source_item = project.find_item(text_of(layer_node, "source"));
                    if (layer.source_item < 0)
                        fail("layer \"" + layer.name + "\": no item named \"" + text_of(layer_node, "source") + "\"");
                }
                project.items[i].layers.push_back(layer);
            }
        }
    }
    if (root.contains("active_item")) {
        project.active_item = project.find_item(text_of(root, "active_item"));
        if (project.active_item < 0)
            fail("no item named \"" + text_of(root, "active_item") + "\" to be active");
    }
    if (root.contains("active_layer") && !project.select_layer(text_of(root, "active_layer")))
        fail("no layer named \"" + text_of(root, "active_layer") + "\" to be active");
    return project;
}

Project load_project_file(const std::wstring& path)
{
    return parse_project(read_text_file(path, "project file"));
}

}  // namespace standin
