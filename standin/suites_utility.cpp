// Utility, Register and Memory suites.
#include "standin/host.h"
#include "standin/suites.h"
#include "standin/text_codec.h"

#include <cstring>

namespace standin {

namespace {

A_Err get_main_hwnd(void* main_hwnd)
{
    Host* host = Host::current();
    if (!host || !main_hwnd)
        return A_Err_PARAMETER;
    *static_cast<HWND*>(main_hwnd) = host->main_window();
    return A_Err_NONE;
}

A_Err get_suppress_interactive_ui(A_Boolean* suppressed)
{
    Host* host = Host::current();
    if (!host || !suppressed)
        return A_Err_PARAMETER;
    *suppressed = host->project().suppress_interactive_ui ? 1 : 0;
    return A_Err_NONE;
}

A_Err execute_script(AEGP_PluginID, const A_char* script, A_Boolean platform_encoding, AEGP_MemHandle* result,
                     AEGP_MemHandle* error)
{
    if (result)
        *result = nullptr;
    if (error)
        *error = nullptr;
    Host* host = Host::current();
    if (!host || !script)
        return A_Err_PARAMETER;
    std::string text = platform_encoding ? ansi_to_utf8(script) : std::string(script);
    ScriptOutcome outcome = host->execute_script(text);
    AEGP_MemHandle* answer = outcome.succeeded ? result : error;
    if (answer)
        *answer = new_text_handle(outcome.succeeded ? "script result" : "script error", outcome.text);
    return outcome.succeeded ? A_Err_NONE : A_Err_GENERIC;
}

A_Err register_death_hook(AEGP_PluginID plugin_id, AEGP_DeathHook hook, AEGP_DeathRefcon refcon)
{
    Host* host = Host::current();
    if (!host || !hook)
        return A_Err_PARAMETER;
    host->book().death_hooks.push_back({plugin_id, hook, refcon});
    return A_Err_NONE;
}

A_Err register_idle_hook(AEGP_PluginID plugin_id, AEGP_IdleHook hook, AEGP_IdleRefcon refcon)
{
    Host* host = Host::current();
    if (!host || !hook)
        return A_Err_PARAMETER;
    host->book().idle_hooks.push_back({plugin_id, hook, refcon});
    return A_Err_NONE;
}

constexpr AEGP_MemSize largest_mem_handle = AEGP_MemSize{1} << 30;

A_Err new_mem_handle(AEGP_PluginID, const A_char*, AEGP_MemSize size, A_long, AEGP_MemHandle* handle)
{
    if (handle)
        *handle = nullptr;
    Host* host = Host::current();
    if (!host || !handle || size > largest_mem_handle)
        return A_Err_PARAMETER;
    auto block = std::make_unique<MemBlock>();
    block->bytes.resize(static_cast<size_t>(size));
    *handle = host->resources().memory.add<AEGP_MemHandle>(std::move(block));
    ++host->book().live_mem_handles;
    return A_Err_NONE;
}

MemBlock* find_block(AEGP_MemHandle handle)
{
    Host* host = Host::current();
    return host ? host->resources().memory.find(handle) : nullptr;
}

A_Err free_mem_handle(AEGP_MemHandle handle)
{
    Host* host = Host::current();
    if (!host || !host->resources().memory.remove(handle))
        return A_Err_PARAMETER;
    --host->book().live_mem_handles;
    return A_Err_NONE;
}

A_Err lock_mem_handle(AEGP_MemHandle handle, void** pointer)
{
    MemBlock* block = find_block(handle);
    if (!block || !pointer)
        return A_Err_PARAMETER;
    ++block->locks;
    *pointer = block->bytes.data();
    return A_Err_NONE;
}

A_Err unlock_mem_handle(AEGP_MemHandle handle)
{
    MemBlock* block = find_block(handle);
    if (!block || block->locks == 0)
        return A_Err_PARAMETER;
    --block->locks;
    return A_Err_NONE;
}

A_Err get_mem_handle_size(AEGP_MemHandle handle, AEGP_MemSize* size)
{
    MemBlock* block = find_block(handle);
    if (!block || !size)
        return A_Err_PARAMETER;
    *size = block->bytes.size();
    return A_Err_NONE;
}

}  // namespace

AEGP_MemHandle new_text_handle(const char* what, const std::string& text)
{
    AEGP_MemHandle handle = nullptr;
    if (new_mem_handle(standin_plugin_id, what, text.size() + 1, 0, &handle) != A_Err_NONE)
        return nullptr;
    std::memcpy(find_block(handle)->bytes.data(), text.c_str(), text.size() + 1);
    return handle;
}

const AEGP_UtilitySuite11 utility_suite_11{&get_main_hwnd, &get_suppress_interactive_ui};
const AEGP_UtilitySuite10 utility_suite_10{&execute_script};
const AEGP_RegisterSuite6 register_suite_6{&register_death_hook, &register_idle_hook};
const AEGP_MemorySuite1 memory_suite_1{&new_mem_handle, &free_mem_handle, &lock_mem_handle, &unlock_mem_handle,
                                       &get_mem_handle_size};

}  // namespace standin
