#pragma once
// The stand-in's test module (window_module.cpp): its file name, and its export that makes a window of the
// module handing its messages to a procedure of the test's.
#include <windows.h>

namespace standin_test {

inline constexpr wchar_t window_module_file[] = L"standin_window_module.dll";
using ModuleWindowMaker = HWND (*)(WNDPROC procedure, HWND parent, int x, int y, int width, int height);

}  // namespace standin_test
