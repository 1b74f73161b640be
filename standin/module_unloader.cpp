#include "standin/module_unloader.h"

#include <memory>

namespace standin {

namespace {

DWORD WINAPI free_library(void* module)
{
    return FreeLibrary(static_cast<HMODULE>(module)) ? 0 : 1;
}

}  // namespace

bool free_library_within(HMODULE module, DWORD timeout_ms)
{
    if (!module)
        return true;
    HANDLE thread = CreateThread(nullptr, 0, &free_library, module, 0, nullptr);
    if (!thread)
        return FreeLibrary(module) != 0;
    std::unique_ptr<void, decltype(&CloseHandle)> owner(thread, &CloseHandle);
    if (WaitForSingleObject(thread, timeout_ms) != WAIT_OBJECT_0)
        return false;
    DWORD result = 1;
    GetExitCodeThread(thread, &result);
    return result == 0;
}

}  // namespace standin
