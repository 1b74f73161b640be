#include "tests/support/idle_hook_entry.h"

#include "host/sdk/host_suites.h"

namespace standin_test {

void register_idle_hook(SPBasicSuite* basic, AEGP_PluginID plugin_id, AEGP_IdleHook hook)
{
    const void* table = nullptr;
    basic->AcquireSuite(AEGP_RegisterSuite6::name, AEGP_RegisterSuite6::version, &table);
    static_cast<const AEGP_RegisterSuite6*>(table)->AEGP_RegisterIdleHook(plugin_id, hook, nullptr);
    basic->ReleaseSuite(AEGP_RegisterSuite6::name, AEGP_RegisterSuite6::version);
}

}  // namespace standin_test
