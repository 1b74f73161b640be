#pragma once
#include <windows.h>

namespace standin {

// FreeLibrary on a worker thread, so a module that hangs in its unload is reported instead of freezing
// the host: false when it did not return within `timeout_ms` (the worker is then left behind).
bool free_library_within(HMODULE module, DWORD timeout_ms);

}  // namespace standin
