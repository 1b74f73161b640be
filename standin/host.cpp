#include "standin/host.h"

#include "standin/main_window.h"
#include "standin/message_box_capture.h"
#include "standin/module_windows.h"
#include "standin/pipl.h"
#include "standin/preset_files.h"
#include "standin/script_engine.h"
#include "standin/suites.h"
#include "standin/text_codec.h"
#include "standin/watchdog.h"
#include "standin/window_log.h"

#include <cstdio>
#include <optional>
#include <stdexcept>

namespace standin {

namespace {

Host* current_host = nullptr;

// The longest the host sleeps between idle calls when nothing arrives.
constexpr DWORD idle_interval_ms = 15;

}  // namespace

Host::Host(Project project, bool show_main_window) : project_(std::move(project))
{
    if (current_host)
        throw std::logic_error("only one stand-in host may exist at a time");
    message_boxes_ = std::make_unique<MessageBoxCapture>(book_.message_boxes);
    window_log_ = std::make_unique<WindowLog>(book_.shown_windows, [this] { return module_; });
    window_ = std::make_unique<MainWindow>(
        project_, show_main_window, [this](int effect) { on_effect_command(effect); },
        [this] { return status_lines(); });
    current_host = this;
}

Host::~Host()
{
    if (module_)
        unload_module(default_unload_timeout_ms);
    current_host = nullptr;
    window_.reset();
    window_log_.reset();
    message_boxes_.reset();
}

Host* Host::current() { return current_host; }

SPBasicSuite* Host::basic_suite() { return &standin::basic_suite; }

HWND Host::main_window() const { return window_->hwnd(); }

bool Host::load_module(const std::wstring& path)
{
    if (module_)
        return false;
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module)
        return false;
    auto pipl = read_pipl(module);
    FARPROC found = pipl.count("mi64") ? GetProcAddress(module, pipl["mi64"].c_str()) : nullptr;
    auto entry = reinterpret_cast<PluginMainFunc>(reinterpret_cast<void*>(found));
    if (!entry) {
        FreeLibrary(module);
        return false;
    }
    module_ = module;
    entry_ = entry;
    return true;
}

A_Err Host::call_entry(int major, int minor)
{
    if (!entry_)
        return A_Err_GENERIC;
    return call_entry(entry_, major, minor);
}

A_Err Host::call_entry(PluginMainFunc entry, int major, int minor)
{
    lay_out_presets(project_, major, minor);
    return entry(basic_suite(), major, minor, standin_plugin_id, &global_refcon_);
}

void Host::run_idle(int cycles)
{
    // After the death hooks (or the unload) no idle call comes, as in the real host.
    if (death_hooks_ran_)
        return;
    if (in_idle_) {
        ++book_.refused_idle_reentries;
        return;
    }
    in_idle_ = true;
    // Cleared however the hooks leave, so one escaping exception does not stop idle calls for good.
    std::unique_ptr<bool, void (*)(bool*)> reentry_guard(&in_idle_, [](bool* flag) { *flag = false; });
    ModuleCall call(*this);
    for (int cycle = 0; cycle < cycles; ++cycle) {
        // A hook may register further hooks: walk a copy.
        auto hooks = book_.idle_hooks;
        if (idle_observer_)
            idle_observer_();
        for (const IdleHookRecord& hook : hooks) {
            A_long max_sleep = static_cast<A_long>(idle_interval_ms);
            hook.hook(global_refcon_, hook.refcon, &max_sleep);
        }
        ++book_.idle_calls;
    }
}

void Host::pump(DWORD milliseconds)
{
    ULONGLONG end = GetTickCount64() + milliseconds;
    bool nested = inside_module();
    for (;;) {
        dispatch_waiting();
        MSG message;
        if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            return;
        if (!nested)
            run_idle(1);
        ULONGLONG now = GetTickCount64();
        if (now >= end)
            return;
        DWORD sleep = static_cast<DWORD>(std::min<ULONGLONG>(end - now, idle_interval_ms));
        MsgWaitForMultipleObjects(0, nullptr, FALSE, sleep, QS_ALLINPUT);
    }
}

void Host::dispatch_waiting()
{
    MSG message;
    while (calls_.host_takes(message)) {
        if (message.message == WM_QUIT) {
            // Left for the loops outside this one.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        // Thread messages count too: a timer's procedure may be the module's.
        std::optional<ModuleCall> call;
        if (!message.hwnd || runs_module_code(message.hwnd, module_))
            call.emplace(*this);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Host::settle_window_log() { window_log_->settle(); }

void Host::run_until_closed()
{
    while (!window_->closed()) {
        pump(idle_interval_ms);
        MSG message;
        if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            break;
    }
}

void Host::run_death_hooks()
{
    if (death_hooks_ran_)
        return;
    death_hooks_ran_ = true;
    ModuleCall call(*this);
    auto hooks = book_.death_hooks;
    for (const DeathHookRecord& hook : hooks) {
        hook.hook(global_refcon_, hook.refcon);
        ++book_.death_hook_calls;
    }
}

bool Host::unload_module(DWORD timeout_ms)
{
    // The hooks point into the module: none of them may run once it is gone.
    death_hooks_ran_ = true;
    HMODULE module = module_;
    module_ = nullptr;
    entry_ = nullptr;
    if (!module)
        return true;
    // On this thread, as the real host does: the module's static destructors may destroy its windows.
    return run_watched([module] { return FreeLibrary(module) != 0; }, timeout_ms, [this, timeout_ms] {
        if (unload_hang_handler_)
            unload_hang_handler_();
        std::fprintf(stderr, "standin: the module did not unload within %lu ms\n", timeout_ms);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), unload_hang_exit_code);
    });
}

bool Host::apply_effect(int effect, ApplyRoute route)
{
    const Layer* layer = project_.find_active_layer();
    if (effect < 0 || effect >= static_cast<int>(project_.effects.size()) || !layer || !layer->takes_effects())
        return false;
    book_.applications.push_back(
        {project_.active_item, project_.active_layer, project_.effects[effect].name, false, route});
    return true;
}

ScriptOutcome Host::execute_script(const std::string& utf8_script)
{
    ScriptOutcome outcome = interpret_script(*this, utf8_script);
    book_.scripts.push_back({utf8_script, outcome.succeeded, outcome.text});
    return outcome;
}

void Host::rebuild_menu() { window_->rebuild_menu(project_); }

void Host::on_unload_hang(std::function<void()> handler) { unload_hang_handler_ = std::move(handler); }

void Host::withhold_suite(const std::string& name, int32_t version) { project_.withheld_suites.emplace_back(name, version); }

bool Host::serves_suite(const std::string& name, int32_t version) const
{
    return find_suite(name.c_str(), version) && !project_.withholds_suite(name, version);
}

void Host::on_effect_command(int effect)
{
    if (effect < 0 || effect >= static_cast<int>(project_.effects.size()) || project_.effects[effect].refuse)
        return;
    apply_effect(effect, ApplyRoute::menu_command);
}

std::vector<std::wstring> Host::status_lines()
{
    std::vector<std::wstring> lines;
    lines.push_back(L"Project: " + to_wide(project_.name) + L"  (" + std::to_wstring(project_.bits_per_channel) +
                    L" bits per channel)");
    bool has_item = project_.active_item >= 0 && project_.active_item < static_cast<int>(project_.items.size());
    lines.push_back(L"Active item: " + (has_item ? to_wide(project_.items[project_.active_item].name) : L"none"));
    Layer* layer = project_.find_active_layer();
    lines.push_back(L"Active layer: " + (layer ? to_wide(layer->name) : L"none"));
    lines.push_back(L"Hooks: " + std::to_wstring(book_.idle_hooks.size()) + L" idle, " +
                    std::to_wstring(book_.death_hooks.size()) + L" death; idle calls " +
                    std::to_wstring(book_.idle_calls));
    for (const Application& applied : book_.applications)
        if (const Layer* target = project_.layer_at(applied.item, applied.layer))
            lines.push_back(L"  " + to_wide(target->name) + L": " + to_wide(applied.name) + L" (" +
                            to_wide(route_name(applied.route)) + L")");
    return lines;
}

}  // namespace standin
