#pragma once
// A test's own module entry that asks to be called at idle time: it registers one idle hook with the host,
// and a death hook when one is given.
#include "host/sdk/host_types.h"

namespace standin_test {

void register_hooks(SPBasicSuite* basic, AEGP_PluginID plugin_id, AEGP_IdleHook idle, AEGP_DeathHook death);

template <AEGP_IdleHook Hook, AEGP_DeathHook Death = nullptr>
A_Err idle_hook_entry(SPBasicSuite* basic, A_long, A_long, AEGP_PluginID plugin_id, AEGP_GlobalRefcon*)
{
    register_hooks(basic, plugin_id, Hook, Death);
    return A_Err_NONE;
}

}  // namespace standin_test
