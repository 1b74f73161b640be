#pragma once
// A test's own module entry that asks to be called at idle time: it registers one idle hook with the host.
#include "host/sdk/host_types.h"

namespace standin_test {

void register_idle_hook(SPBasicSuite* basic, AEGP_PluginID plugin_id, AEGP_IdleHook hook);

template <AEGP_IdleHook Hook>
A_Err idle_hook_entry(SPBasicSuite* basic, A_long, A_long, AEGP_PluginID plugin_id, AEGP_GlobalRefcon*)
{
    register_idle_hook(basic, plugin_id, Hook);
    return A_Err_NONE;
}

}  // namespace standin_test
