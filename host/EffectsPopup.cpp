#include "host/EffectsPopup.h"

#include "host/SuiteCache.h"
#include "host/sdk/host_suites.h"

std::unique_ptr<EffectsPopup> EffectsPopup::Create(SPBasicSuite* basic, AEGP_PluginID plugin_id,
                                                   uint32_t host_generation)
{
    std::unique_ptr<EffectsPopup> popup(new EffectsPopup(basic, plugin_id, host_generation));
    SuiteCache suites(basic);
    A_Boolean suppressed = 0;
    suites.get<AEGP_UtilitySuite11>().AEGP_GetSuppressInteractiveUI(&suppressed);
    // A render-only or scripted host run shows no window of ours: without hooks nothing ever opens.
    if (!suppressed) {
        const auto& registry = suites.get<AEGP_RegisterSuite6>();
        registry.AEGP_RegisterIdleHook(plugin_id, &IdleHook, nullptr);
        registry.AEGP_RegisterDeathHook(plugin_id, &DeathHook, nullptr);
    }
    return popup;
}

EffectsPopup::EffectsPopup(SPBasicSuite* basic, AEGP_PluginID plugin_id, uint32_t host_generation)
    : basic_suite_(basic), plugin_id_(plugin_id), host_generation_(host_generation)
{
}

EffectsPopup::~EffectsPopup() = default;

void EffectsPopup::OnIdle()
{
    if (setup_failed_)
        return;
    if (!set_up_) {
        // Stays set when the setup throws: the failure is reported once, not at every idle call.
        setup_failed_ = true;
        RunFirstIdleWork();
        setup_failed_ = false;
        set_up_ = true;
    }
}

void EffectsPopup::RunFirstIdleWork()
{
    SuiteCache suites(basic_suite_);
    suites.get<AEGP_UtilitySuite11>().AEGP_GetMainHWND(&host_main_window_);
}

void EffectsPopup::OnDeath()
{
}
