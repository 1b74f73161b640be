#pragma once
// Real input through SendInput: it reaches whichever window has the focus, as a user's would.
#include "standin/key_chord.h"

#include <string>

namespace standin {

bool send_key(WORD key, bool down);
// Pressing: modifiers, then the key; releasing: the key, then the modifiers in reverse.
bool send_chord(const KeyChord& chord, bool down);
bool send_text(const std::wstring& text);
bool send_click(int x, int y);

}  // namespace standin
