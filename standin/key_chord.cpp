#include "standin/key_chord.h"

#include <string>

namespace standin {

namespace {

std::string lower(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::optional<WORD> modifier(const std::string& name)
{
    if (name == "ctrl" || name == "control") return VK_CONTROL;
    if (name == "shift") return VK_SHIFT;
    if (name == "alt") return VK_MENU;
    if (name == "win") return VK_LWIN;
    return std::nullopt;
}

constexpr std::pair<const char*, WORD> keys[] = {
    {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"tab", VK_TAB},         {"up", VK_UP},
    {"down", VK_DOWN},    {"left", VK_LEFT},     {"right", VK_RIGHT},     {"space", VK_SPACE},
    {"backspace", VK_BACK}, {"delete", VK_DELETE}, {"home", VK_HOME},     {"end", VK_END},
    {"pageup", VK_PRIOR}, {"pagedown", VK_NEXT},
};

std::optional<WORD> chord_key(const std::string& name)
{
    if (auto key = named_key(name))
        return key;
    if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9')))
        return static_cast<WORD>(name[0] >= 'a' ? name[0] - 'a' + 'A' : name[0]);
    return std::nullopt;
}

}  // namespace

const char* const key_names =
    "enter, escape, tab, up, down, left, right, space, backspace, delete, home, end, pageup, pagedown, f1 to f12";

std::optional<WORD> named_key(std::string_view name)
{
    std::string key = lower(name);
    for (const auto& [text, code] : keys)
        if (key == text)
            return code;
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'f') {
        int number = std::atoi(key.c_str() + 1);
        if (number >= 1 && number <= 12 && std::to_string(number) == key.substr(1))
            return static_cast<WORD>(VK_F1 + number - 1);
    }
    return std::nullopt;
}

std::vector<WORD> keys_of(const KeyChord& chord)
{
    std::vector<WORD> keys = chord.modifiers;
    keys.push_back(chord.key);
    return keys;
}

std::optional<KeyChord> parse_key_chord(std::string_view chord)
{
    std::string text = lower(chord);
    KeyChord result{};
    size_t at = 0;
    for (;;) {
        size_t plus = text.find('+', at);
        std::string part = text.substr(at, plus == std::string::npos ? std::string::npos : plus - at);
        if (plus == std::string::npos) {
            auto key = chord_key(part);
            if (!key)
                return std::nullopt;
            result.key = *key;
            return result;
        }
        auto held = modifier(part);
        if (!held)
            return std::nullopt;
        result.modifiers.push_back(*held);
        at = plus + 1;
    }
}

}  // namespace standin
