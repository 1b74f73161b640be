#include "tests/support/idle_hook_entry.h"

#include "host/sdk/host_suites.h"

namespace standin_test {

void register_hooks(SPBasicSuite* basic, AEGP_PluginID plugin_id, AEGP_IdleHook idle, AEGP_DeathHook death)
{
    const void* table = nullptr;
    basic->AcquireSuite(AEGP_RegisterSuite6::name, AEGP_RegisterSuite6::version, &table);
    const auto* hooks = static_cast<const AEGP_RegisterSuite6*>(table);
    hooks->AEGP_RegisterIdleHook(plugin_id, idle, nullptr);
    if (death)
        hooks->AEGP_RegisterDeathHook(plugin_id, death, nullptr);
    basic->ReleaseSuite(AEGP_RegisterSuite6::name, AEGP_RegisterSuite6::version);
}

}  // namespace standin_test
