#include "host/plugin_main.h"

#include "host/effects_popup.h"
#include "host/fault_guard.h"
#include "host/host_generation.h"
#include "host/report_fatal_error.h"
#include "host/toolkit_glue.h"
#include "toolkit/platform/thread_pool.h"

std::unique_ptr<EffectsPopup> g_effects_popup __attribute__((init_priority(101)));

namespace {

// The host may unload the module without a death hook (a failed start); the handler must not outlive it.
struct FaultHandlerRemoval {
    ~FaultHandlerRemoval() { RemoveFaultHandler(); }
} fault_handler_removal __attribute__((init_priority(102)));

bool idle_running = false;

}  // namespace

extern "C" A_Err PluginMain(SPBasicSuite* basic, A_long major_version, A_long minor_version,
                            AEGP_PluginID plugin_id, AEGP_GlobalRefcon*)
{
    InstallFaultHandler();
    ConnectToolkitToHost();
    RunReportingErrors(basic, [&] {
        if (IsUnsupportedHost(major_version))
            return;
        uint32_t generation = HostGenerationCode(major_version, minor_version);
        g_effects_popup = EffectsPopup::Create(basic, plugin_id, generation);
    });
    return A_Err_NONE;
}

A_Err IdleHook(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long* max_sleep)
{
    EffectsPopup* state = g_effects_popup.get();
    // A modal box or loop inside the idle work pumps messages, and a host may idle from there: never nest.
    if (!state || idle_running)
        return A_Err_NONE;
    idle_running = true;
    RunReportingErrors(state->basic_suite(), [state] { state->OnIdle(); });
    idle_running = false;
    // A screenshot being written is told (the flash) as soon as it is done, not at the host's leisure.
    constexpr A_long capture_poll_ms = 20;
    if (max_sleep && state->capture_writes_pending() && *max_sleep > capture_poll_ms)
        *max_sleep = capture_poll_ms;
    return A_Err_NONE;
}

A_Err DeathHook(AEGP_GlobalRefcon, AEGP_DeathRefcon)
{
    if (EffectsPopup* state = g_effects_popup.get())
        RunReportingErrors(state->basic_suite(), [state] { state->OnDeath(); });
    // Worker threads cannot be joined once the loader lock is held at unload: they end here.
    qzsdk::thread_pool::instance().shutdown();
    RemoveFaultHandler();
    return A_Err_NONE;
}
