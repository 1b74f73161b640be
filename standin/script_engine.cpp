#include "standin/script_engine.h"

#include "standin/host.h"
#include "standin/text_codec.h"

#include <optional>

namespace standin {

namespace {

constexpr std::string_view preset_prefix = "app.project.activeItem.applyPreset(new File(\"";
constexpr std::string_view preset_suffix = "\"));";

std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The body of a double-quoted script string; an unescaped quote ends the literal, so it is a syntax error.
// Backslash escapes act as in the script language: "C:\Users" reads as "C:Users".
std::optional<std::string> unescape_literal(std::string_view body)
{
    std::string text;
    for (size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '"')
            return std::nullopt;
        if (c == '\\') {
            if (++i == body.size())
                return std::nullopt;
            char escaped = body[i];
            text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
        } else {
            text += c;
        }
    }
    return text;
}

ScriptOutcome apply_preset(Host& host, std::string_view literal)
{
    auto path = unescape_literal(literal);
    if (!path)
        return {false, "SyntaxError: Expected: )"};
    Project& project = host.project();
    if (project.active_item < 0 || project.items[project.active_item].type != AEGP_ItemType_COMP)
        return {false, "TypeError: undefined is not an object"};
    const Layer* layer = project.find_active_layer();
    if (!layer)
        return {false, "Error: applyPreset needs a selected layer"};
    if (!layer->takes_effects())
        return {false, "Error: a camera or light layer takes no preset"};
    DWORD attributes = GetFileAttributesW(to_wide(*path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {false, "Error: the preset file \"" + *path + "\" does not exist"};
    host.book().applications.push_back(
        {project.active_item, project.active_layer, file_stem(*path), true, ApplyRoute::script});
    return {true, "true"};
}

}  // namespace

std::string file_stem(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

ScriptOutcome interpret_script(Host& host, const std::string& script)
{
    std::string text = trimmed(script);
    if (text == "app.project.bitsPerChannel" || text == "app.project.bitsPerChannel;")
        return {true, std::to_string(host.project().bits_per_channel)};
    if (text.size() >= preset_prefix.size() + preset_suffix.size() && text.starts_with(preset_prefix) &&
        text.ends_with(preset_suffix))
        return apply_preset(host, std::string_view(text).substr(
                                      preset_prefix.size(), text.size() - preset_prefix.size() - preset_suffix.size()));
    return {false, "the stand-in host does not understand this script"};
}

}  // namespace standin
