#pragma once
// The module's own top-level windows: those whose window procedure lies in the module's image.
#include <windows.h>

#include <string>
#include <vector>

namespace standin {

// Whether the window's procedure (a class's, or the module's subclass of a host window) lies in the module.
bool runs_module_code(HWND window, HMODULE module);
bool is_module_window(HWND window, HMODULE module);
// Visible top-level module windows of this process, foremost first (the system's z-order).
std::vector<HWND> visible_module_windows(HMODULE module);
// Whether a visible window of the module still waits for its paint (the system holds an update region).
bool module_paint_pending(HMODULE module);
std::wstring window_title(HWND window);
std::wstring window_class(HWND window);

}  // namespace standin
