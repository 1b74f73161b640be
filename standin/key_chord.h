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

// Its keys in the order they go down: the modifiers, then the key.
std::vector<WORD> keys_of(const KeyChord& chord);

// The names of named_key, for messages.
extern const char* const key_names;
// One of key_names; case does not matter.
std::optional<WORD> named_key(std::string_view name);
// Modifiers ctrl, shift, alt, win joined by "+" to one key: a named key, a letter or a digit; case does not
// matter ("Ctrl+Space").
std::optional<KeyChord> parse_key_chord(std::string_view chord);

}  // namespace standin
