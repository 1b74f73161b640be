#include "host/effects_popup.h"

#include "host/apply_choice.h"
#include "host/effect_list_builder.h"
#include "host/host_queries.h"
#include "host/hotkey.h"
#include "host/report_fatal_error.h"
#include "host/screenshot.h"
#include "host/suite_cache.h"
#include "host/sdk/host_suites.h"
#include "popup/effects_popup_window.h"
#include "popup/settings_file.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/window.h"

#include <windows.h>

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

EffectsPopup::~EffectsPopup()
{
    // Also at unload without the death hook: the writes and the popup's news check end before the code goes.
    capture_writer_.WaitForAll();
    popup_window_.reset();
    owner_window_.reset();
}

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
    PollHotkey();
    ApplyPendingChoice();
    ReportStoredCaptures();
}

void EffectsPopup::RunFirstIdleWork()
{
    SuiteCache suites(basic_suite_);
    suites.get<AEGP_UtilitySuite11>().AEGP_GetMainHWND(&host_main_window_);
    // The popup goes before the owner it was made for.
    popup_window_.reset();
    owner_window_ = std::make_unique<qzsdk::ui::window>();
    owner_window_->wrap_native(static_cast<HWND>(host_main_window_));
    MakerFolders folders = MakerFolders::standard();
    qzsdk::create_directories(folders.local);
    read_local_or_common_settings(folders, settings_);
    qzsdk::create_directories(qzsdk::path::from_utf8(settings_.capture_folder));
    popup_window_ = std::make_unique<EffectsPopupWindow>(owner_window_.get(), &settings_, folders);
    popup_window_->SetEffects(BuildEffectList(suites, host_generation_, presets_));
    BindPopupEvent(popup_window_.get(), qzsdk::ui::event_id::activated, &EffectsPopup::OnEffectChosen);
    BindPopupEvent(popup_window_.get(), qzsdk::ui::event_id::command, &EffectsPopup::OnPopupCommand);
}

void EffectsPopup::BindPopupEvent(qzsdk::ui::event_object* source, uint32_t event_id,
                                  void (EffectsPopup::*member)(const qzsdk::ui::event_info&))
{
    // The owner window is the listener: it outlives the popup, so the connection goes with the popup.
    qzsdk::ui::event_manager::instance().connect(source, owner_window_.get(), event_id,
                                                 [this, member](const qzsdk::ui::event_info& info) {
                                                     (this->*member)(info);
                                                 });
}

void EffectsPopup::PollHotkey()
{
    if (!HotkeyFired(settings_))
        return;
    if (popup_window_ && popup_window_->is_visible()) {
        popup_window_->Hide();
        return;
    }
    // Ignored while another program or an unrelated window is in front.
    HWND main_window = static_cast<HWND>(host_main_window_);
    HWND foreground = GetForegroundWindow();
    if (!foreground || (foreground != main_window && GetWindow(foreground, GW_OWNER) != main_window))
        return;
    int32_t result = 0;
    SendPopupCommand(result, popup_command_show);
}

void EffectsPopup::SendPopupCommand(int32_t& result, int32_t command)
{
    result = -1;
    if (!popup_window_)
        return;
    SuiteCache suites(basic_suite_);
    std::string layer_name = GetLayerName(suites, GetActiveLayer(suites));
    std::string comp_name = GetCompName(suites, GetActiveComp(suites));
    project_ = nullptr;
    suites.get<AEGP_ProjSuite8>().AEGP_GetProjectByIndex(0, &project_);
    std::string project_name = GetProjectName(suites, project_);
    popup_window_->RunCommand(result, project_name, comp_name, layer_name, command);
}

void EffectsPopup::OnPopupCommand(const qzsdk::ui::event_info& info)
{
    // A parameter past 32 bits is no command of the table: it captures and does nothing, like any other.
    OnPopupCommand(info.param <= UINT32_MAX ? uint32_t(info.param) : UINT32_MAX);
}

void EffectsPopup::OnPopupCommand(uint32_t command)
{
    RunReportingErrors(basic_suite_, [&] { RunPopupCommand(command); });
}

void EffectsPopup::RunPopupCommand(uint32_t command)
{
    SuiteCache suites(basic_suite_);
    if (command == popup_rebuild_effects) {
        if (popup_window_)
            popup_window_->SetEffects(BuildEffectList(suites, host_generation_, presets_));
        return;
    }
    const CaptureRequest request{plugin_id_, project_, settings_.full_resolution};
    const ScreenshotOutcome outcome =
        TakeScreenshot(suites, request, command, host_main_window_, settings_.capture_folder, capture_writer_);
    if (!popup_window_)
        return;
    if (outcome == ScreenshotOutcome::save_failed)
        popup_window_->ReportFailedCapture(CaptureFailure::save);
    else if (outcome == ScreenshotOutcome::copy_failed)
        popup_window_->ReportFailedCapture(CaptureFailure::copy);
}

void EffectsPopup::ReportStoredCaptures()
{
    if (!capture_writer_.busy())
        return;
    for (const CaptureWriter::Finished& finished : capture_writer_.TakeFinished())
        if (popup_window_)
            popup_window_->CaptureStored(finished.written);
}

void EffectsPopup::OnEffectChosen(const EffectEntry& entry)
{
    pending_choice_ = entry;
}

void EffectsPopup::OnEffectChosen(const qzsdk::ui::event_info& info)
{
    if (const auto* entry = reinterpret_cast<const EffectEntry*>(info.param))
        OnEffectChosen(*entry);
}

void EffectsPopup::ApplyPendingChoice()
{
    if (!pending_choice_)
        return;
    // Taken out first: a choice that fails is reported once, not retried at every idle call.
    EffectEntry choice = std::move(*pending_choice_);
    pending_choice_.reset();
    SuiteCache suites(basic_suite_);
    ApplyChoice(suites, plugin_id_, static_cast<HWND>(host_main_window_), choice, presets_.paths());
}

void EffectsPopup::OnDeath()
{
    // Screenshots being written are finished, and no thread of ours runs once the host unloads the module;
    // with the popup gone there is no one left to tell of them.
    capture_writer_.WaitForAll();
    capture_writer_.TakeFinished();
    // The windows go whatever the last save's warning meets, and the news check has ended before it shows.
    struct release_windows {
        EffectsPopup& self;
        ~release_windows()
        {
            self.popup_window_.reset();
            self.owner_window_.reset();
        }
    } release{*this};
    if (popup_window_) {
        popup_window_->StopNewsCheck();
        popup_window_->SaveEffectFilesAndTell();
    }
}
