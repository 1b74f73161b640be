#include "host/host_memory_text.h"

#include "host/sdk/host_suites.h"

#include <cstring>

std::string ReadMemHandleText(SuiteCache& suites, AEGP_MemHandle handle)
{
    if (!handle)
        return {};
    const auto& memory = suites.get<AEGP_MemorySuite1>();
    AEGP_MemSize size = 0;
    void* bytes = nullptr;
    memory.AEGP_GetMemHandleSize(handle, &size);
    if (memory.AEGP_LockMemHandle(handle, &bytes) != A_Err_NONE || !bytes)
        return {};
    const char* text = static_cast<const char*>(bytes);
    std::string result(text, strnlen(text, size));
    memory.AEGP_UnlockMemHandle(handle);
    return result;
}
