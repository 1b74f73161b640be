#pragma once
#include <windows.h>

#include <string>

namespace qzsdk::ui {

// The window class every toolkit window uses, registered on first use. When a class of that name
// exists already (a module loaded twice into one process), "0" is appended until the name is free.
const std::wstring& window_class_name();

// Whether the window is one of this module's toolkit windows (its window procedure is this module's), the
// only windows whose user data is a holder this module may follow.
bool is_toolkit_window(HWND handle);

}  // namespace qzsdk::ui
