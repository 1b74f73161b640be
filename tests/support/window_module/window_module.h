#pragma once
// The stand-in's test module (window_module.cpp), loaded into the host: its export makes a window of the module
// that hands its messages to a procedure of the test's.
#include "standin/host.h"

#include <windows.h>

namespace standin_test {

using ModuleWindowMaker = HWND (*)(WNDPROC procedure, HWND parent, int x, int y, int width, int height);

// Null when the host could not load it.
inline ModuleWindowMaker load_window_module(standin::Host& host)
{
    if (!host.load_module(L"standin_window_module.dll"))
        return nullptr;
    return reinterpret_cast<ModuleWindowMaker>(
        reinterpret_cast<void*>(GetProcAddress(host.module(), "TestModuleWindow")));
}

}  // namespace standin_test
