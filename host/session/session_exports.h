#pragma once
// Exports of the module the stand-in host's sessions and tests load; the module a user installs has none
// of them.
#include <windows.h>

#include <cstdint>

// Chooses a catalogue entry by name as the popup's event 38 does, so a session can apply an effect or
// preset without the popup. 1 when the name was found.
extern "C" __declspec(dllexport) int32_t ZephrinChooseEntry(const char* utf8_name);

// The screen rectangle of a visible, enabled button whose text is `utf8_text` in one of this module's own
// toolkit windows, so that a session can click it with real input. 1 when found; 0 for any other window.
extern "C" __declspec(dllexport) int32_t ZephrinFindButton(HWND handle, const char* utf8_text, RECT* screen);
