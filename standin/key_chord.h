#pragma once
// Key names of the session script, as virtual-key codes.
#include <windows.h>

#include <optional>
#include <string_view>
#include <vector>

namespace standin {

struct KeyChord {
    std::vector<WORD> modifiers;  // pressed in order, released in reverse
    WORD key;
};

// enter, escape, tab, up, down.
std::optional<WORD> named_key(std::string_view name);
// Modifiers ctrl, shift, alt, win joined by "+" to one key: a named key, space, left, right, f1 to f12, a
// letter or a digit; case does not matter ("Ctrl+Space").
std::optional<KeyChord> parse_key_chord(std::string_view chord);

}  // namespace standin
