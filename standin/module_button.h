#pragma once
// Where a session's `button` presses: a toolkit button found by its text through the module's
// session-only export, or one of the popup's icon buttons, which have no text, at its documented place.
#include <windows.h>

#include <optional>
#include <string>

namespace standin {

// The screen rectangle of a visible, enabled button of that module window whose text is `text`.
std::optional<RECT> find_module_button(HMODULE module, HWND window, const std::string& text);

// The names of the popup's icon buttons, for messages: screenshot, gallery, export, settings, news.
extern const char* const popup_icon_names;
// The screen point of the named icon button of the popup window, measured from its client area's top-right
// corner; empty for any other name.
std::optional<POINT> popup_icon_button(HWND popup, const std::string& name);

}  // namespace standin
