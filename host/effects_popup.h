#pragma once
#include "host/capture_writer.h"
#include "host/preset_catalogue.h"
#include "host/sdk/host_types.h"
#include "popup/effect_entry.h"
#include "popup/popup_settings.h"
#include "toolkit/platform/path.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class EffectsPopupWindow;
namespace qzsdk::ui {
class event_object;
struct event_info;
class window;
}  // namespace qzsdk::ui

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
    // The host is quitting: the lists are saved and the module's windows go; the state object stays until
    // unload.
    void OnDeath();

    // Hands the popup the names of what the user works on and a PopupCommand; -1 while there is no popup.
    void SendPopupCommand(int32_t& result, int32_t command);
    // The popup's choice (after its override rule), carried out at the next idle call. A copy: a rebuild
    // of the catalogue frees the popup's entries.
    void OnEffectChosen(const EffectEntry& entry);
    // The popup's event 38, its parameter the chosen entry in the popup's list.
    void OnEffectChosen(const qzsdk::ui::event_info& info);
    // Connects the popup's event to one of the members above.
    void BindPopupEvent(qzsdk::ui::event_object* source, uint32_t event_id,
                        void (EffectsPopup::*member)(const qzsdk::ui::event_info&));
    // The popup's event 44, its parameter the command: 0 to 3 screenshots (clipboard, JPEG and PNG save
    // dialogs, capture folder), 5 rebuild the effect list. The popup fires it from its own message handling,
    // so nothing is thrown back: a failure ends in ReportFatalError.
    void OnPopupCommand(const qzsdk::ui::event_info& info);
    void OnPopupCommand(uint32_t command);

    SPBasicSuite* basic_suite() const { return basic_suite_; }
    AEGP_PluginID plugin_id() const { return plugin_id_; }
    uint32_t host_generation() const { return host_generation_; }
    void* host_main_window() const { return host_main_window_; }
    PopupSettings& settings() { return settings_; }
    EffectsPopupWindow* popup_window() const { return popup_window_.get(); }
    // Screenshots handed to the writer and not yet reported to the popup.
    bool capture_writes_pending() const { return capture_writer_.busy(); }
    qzsdk::ui::window* owner_window() const { return owner_window_.get(); }

private:
    friend class EffectsPopupTestApi;

    void RunFirstIdleWork();
    void PollHotkey();
    void ApplyPendingChoice();
    void RunPopupCommand(uint32_t command);
    // Tells the popup of every screenshot the writer has finished with.
    void ReportStoredCaptures();

    EffectsPopup(SPBasicSuite* basic, AEGP_PluginID plugin_id, uint32_t host_generation);

    SPBasicSuite* basic_suite_;
    AEGP_PluginID plugin_id_;
    // The preset paths: a preset's key is the bitwise complement of its index there.
    PresetCatalogue presets_;
    uint32_t host_generation_;
    void* host_main_window_ = nullptr;
    // Set when the first idle call's work failed: it was reported once and is not retried at every idle.
    bool setup_failed_ = false;
    bool set_up_ = false;
    PopupSettings settings_;
    // Wraps the host's main window without ever destroying it; the popup's owner, so it goes after it.
    std::unique_ptr<qzsdk::ui::window> owner_window_;
    std::unique_ptr<EffectsPopupWindow> popup_window_;
    std::optional<EffectEntry> pending_choice_;
    // Declared after the windows, so it is destroyed, and waits for its writes, before them.
    CaptureWriter capture_writer_;
    AEGP_ProjectH project_ = nullptr;
};

// The one owner of the state object, filled by PluginMain. It is the module's first static object, so at
// unload it goes after every other one.
extern std::unique_ptr<EffectsPopup> g_effects_popup;

A_Err IdleHook(AEGP_GlobalRefcon global_refcon, AEGP_IdleRefcon idle_refcon, A_long* max_sleep);
A_Err DeathHook(AEGP_GlobalRefcon global_refcon, AEGP_DeathRefcon death_refcon);
