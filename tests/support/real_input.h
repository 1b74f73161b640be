#pragma once
// Real input, as the user's keyboard and mouse give it: it goes through the system's input queue and
// reaches whichever window has the focus or lies under the cursor, with the key state and the
// double-click detection that come with it.
#include <windows.h>

#include <initializer_list>
#include <string_view>
#include <utility>

namespace qzsdk::test {

// Each stroke a virtual key and whether it goes down.
void send_keys(std::initializer_list<std::pair<WORD, bool>> strokes);
// Types the text as characters (each a key down and up of the character itself).
void send_text(std::wstring_view text);
// Moves the cursor to the screen point, then presses and releases the left button there.
void send_click(POINT screen);

}  // namespace qzsdk::test
