#pragma once
// Real input through SendInput: it reaches whichever window has the focus, as a user's would.
#include "standin/key_chord.h"

#include <string>

namespace standin {

bool send_key(WORD key, bool down);
// Pressing: modifiers, then the key; releasing: the key, then the modifiers in reverse.
bool send_chord(const KeyChord& chord, bool down);
bool send_text(const std::wstring& text);
enum class MouseButton { left, right };
// The cursor moved to a screen point, and one button pressed or released where the cursor is.
bool send_mouse_move(POINT to);
bool send_mouse_button(MouseButton button, bool down);
// One button pressed or released at a screen point the press or release carries itself.
bool send_mouse_button_at(POINT at, MouseButton button, bool down);
// `count` presses and releases at one point, each carrying the point itself: 2 is a double click.
bool send_click(int x, int y, MouseButton button = MouseButton::left, int count = 1);

}  // namespace standin
