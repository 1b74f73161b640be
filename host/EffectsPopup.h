#pragma once
#include "host/sdk/host_types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The plug-in's single state object: everything the module keeps between the host's calls.
class EffectsPopup {
public:
    static std::unique_ptr<EffectsPopup> Create(SPBasicSuite* basic, AEGP_PluginID plugin_id,
                                                uint32_t host_generation);
    virtual ~EffectsPopup();
    EffectsPopup(const EffectsPopup&) = delete;
    EffectsPopup& operator=(const EffectsPopup&) = delete;

    // The host's idle loop is the module's main loop.
    void OnIdle();
    // The host is quitting: the module's windows go, the state object stays until unload.
    void OnDeath();

    SPBasicSuite* basic_suite() const { return basic_suite_; }
    AEGP_PluginID plugin_id() const { return plugin_id_; }
    uint32_t host_generation() const { return host_generation_; }
    void* host_main_window() const { return host_main_window_; }

private:
    void RunFirstIdleWork();

    EffectsPopup(SPBasicSuite* basic, AEGP_PluginID plugin_id, uint32_t host_generation);

    SPBasicSuite* basic_suite_;
    AEGP_PluginID plugin_id_;
    std::vector<std::wstring> preset_paths_;
    uint32_t host_generation_;
    void* host_main_window_ = nullptr;
    // Set when the first idle call's work failed: it was reported once and is not retried at every idle.
    bool setup_failed_ = false;
    bool set_up_ = false;
};

// The one owner of the state object, filled by PluginMain. It is the module's first static object, so at
// unload it goes after every other one.
extern std::unique_ptr<EffectsPopup> g_effects_popup;

A_Err IdleHook(AEGP_GlobalRefcon global_refcon, AEGP_IdleRefcon idle_refcon, A_long* max_sleep);
A_Err DeathHook(AEGP_GlobalRefcon global_refcon, AEGP_DeathRefcon death_refcon);
