#pragma once
// The stand-in for After Effects: serves the module's suites over an in-memory project, owns the main
// window with its Effect menu, loads the module and runs its hooks. One Host per process at a time: the
// suites are plain C functions that reach it through Host::current().
#include "host/sdk/host_types.h"
#include "standin/bookkeeping.h"
#include "standin/handle_registry.h"
#include "standin/module_calls.h"
#include "standin/project.h"
#include "standin/render_objects.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace standin {

class MainWindow;
class MessageBoxCapture;
class WindowLog;

struct MemBlock {
    std::vector<char> bytes;
    int locks = 0;
};

struct EffectRef {
    int effect;
};

// The live objects behind the module's handles.
struct HostResources {
    HandleRegistry<MemBlock> memory;
    HandleRegistry<EffectRef> effect_refs;
    HandleRegistry<RenderOptions> render_options;
    HandleRegistry<FrameReceipt> receipts;
    HandleRegistry<World> worlds;
    HandleRegistry<ColorConversion> conversions;
};

struct ScriptOutcome {
    bool succeeded;
    std::string text;  // the result, or the error message
};

constexpr AEGP_PluginID standin_plugin_id = 7;
constexpr DWORD default_unload_timeout_ms = 10000;
constexpr UINT unload_hang_exit_code = 4;

class Host {
public:
    explicit Host(Project project, bool show_main_window = false);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    static Host* current();

    SPBasicSuite* basic_suite();
    HWND main_window() const;

    // LoadLibraryW and the entry named by the PiPL; false when that fails or a module is already loaded.
    bool load_module(const std::wstring& path);
    HMODULE module() const { return module_; }
    // Lays out the preset files for that host generation, then calls the entry.
    A_Err call_entry(int major, int minor);
    A_Err call_entry(PluginMainFunc entry, int major, int minor);
    // The registered idle hooks, `cycles` times; refuses re-entry, and runs nothing once the death hooks
    // ran or the module is gone.
    void run_idle(int cycles = 1);
    // Runs on the UI thread at each idle call, just before the hooks, until replaced; empty: none.
    void observe_idle_calls(std::function<void()> observer) { idle_observer_ = std::move(observer); }
    // Dispatches messages, running the idle hooks whenever the queue is empty, for `milliseconds`. Inside a
    // call into the module (its modal loop dispatched this) no idle hook runs: the host is waiting for it.
    void pump(DWORD milliseconds);
    // Dispatches what is waiting, each message to a window of the module counted as a call into it.
    void dispatch_waiting();
    // Any thread may ask whether the UI thread is inside a call into the module (a hook, a dispatched
    // message, a script call); calls are counted with ModuleCall.
    bool inside_module() const { return calls_.inside_call(); }
    // Any thread may ask whether the UI thread waits for input in a loop of the module's own (its modal loop,
    // a menu or a dialog it opened), where the host runs no idle call until the loop ends.
    bool inside_module_loop() const { return calls_.inside_loop(); }
    // Runs on the UI thread for each message any loop takes off the queue, until replaced; empty: none.
    void observe_taken_messages(std::function<void(const MSG&)> observer)
    {
        calls_.observe_taken(std::move(observer));
    }
    // Any thread may ask whether idle calls have ended for good: the death hooks ran or the module is gone.
    bool idle_calls_ended() const { return death_hooks_ran_.load(); }
    class ModuleCall {
    public:
        explicit ModuleCall(Host& host) : host_(host) { host_.calls_.enter(); }
        ~ModuleCall() { host_.calls_.leave(); }
        ModuleCall(const ModuleCall&) = delete;
        ModuleCall& operator=(const ModuleCall&) = delete;

    private:
        Host& host_;
    };
    // Takes the shown windows' titles, rectangles and visibility as they are now into the book.
    void settle_window_log();
    // Interactive: until the user closes the main window.
    void run_until_closed();
    // Once; later calls do nothing.
    void run_death_hooks();
    // FreeLibrary; when it does not return within the time, the hang handler runs and the process ends
    // with unload_hang_exit_code. Also done by the destructor when the module is still loaded.
    bool unload_module(DWORD timeout_ms);
    // Runs on a watchdog thread while the UI thread hangs in FreeLibrary (the session writes its state).
    void on_unload_hang(std::function<void()> handler);

    Bookkeeping& book() { return book_; }
    Project& project() { return project_; }
    HostResources& resources() { return resources_; }
    AEGP_GlobalRefcon global_refcon() const { return global_refcon_; }

    // Applies an installed effect (index into the project's effects) to the active layer; false when no
    // layer is active or it is a camera or light.
    bool apply_effect(int effect, ApplyRoute route);
    ScriptOutcome execute_script(const std::string& utf8_script);
    // Rebuilds the Effect menu after a test changed the project's effects.
    void rebuild_menu();
    // From now on the basic suite answers this suite as missing, as an older host would.
    void withhold_suite(const std::string& name, int32_t version);
    bool serves_suite(const std::string& name, int32_t version) const;

private:
    void on_effect_command(int effect);
    std::vector<std::wstring> status_lines();

    Project project_;
    Bookkeeping book_;
    HostResources resources_;
    std::unique_ptr<MessageBoxCapture> message_boxes_;
    std::unique_ptr<WindowLog> window_log_;
    std::unique_ptr<MainWindow> window_;
    HMODULE module_ = nullptr;
    PluginMainFunc entry_ = nullptr;
    AEGP_GlobalRefcon global_refcon_ = nullptr;
    std::function<void()> unload_hang_handler_;
    std::function<void()> idle_observer_;
    ModuleCalls calls_;
    bool in_idle_ = false;
    std::atomic<bool> death_hooks_ran_ = false;
};

}  // namespace standin
