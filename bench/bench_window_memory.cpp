// Memory of the toolkit's windows: ./run bench
// The process's peak with the effects popup open, and with the preferences window open over it; then what
// the graphics stack holds for one window never shown, shown, and hidden and shown again; each beside its goal.
#define PSAPI_VERSION 2
#include "popup/effects_popup_window.h"
#include "toolkit/ui/window.h"

#include <windows.h>

#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace qzsdk::ui;

namespace {

constexpr double mib = 1024.0 * 1024.0;

void report(const std::string& label, double value, double goal)
{
    std::printf("%-52s %9.1f MB   goal %7.0f MB   %s\n", label.c_str(), value, goal, value <= goal ? "met" : "MISSED");
}

PROCESS_MEMORY_COUNTERS memory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

double working_set_mb() { return double(memory().WorkingSetSize) / mib; }
double peak_mb() { return double(memory().PeakWorkingSetSize) / mib; }

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Lets the windows paint and the graphics stack settle.
void settle()
{
    for (int i = 0; i < 20; ++i) {
        pump();
        Sleep(10);
    }
}

// A window painted all over, as a gallery or preferences window is.
class filled_window : public window {
public:
    filled_window()
    {
        create("Filled", rect{0, 0, 960, 540}, window_style::borderless);
        event_manager::instance().connect(&root(), &root(), event_id::paint, [this](const event_info&) {
            renderer()->set_fill_color(color{0.2f, 0.3f, 0.4f, 1.0f});
            renderer()->fill_rect(root().bounds());
        });
    }
};

void show_all(std::vector<std::unique_ptr<filled_window>>& windows, bool shown)
{
    for (auto& each : windows) {
        if (shown)
            ShowWindow(each->handle(), SW_SHOWNOACTIVATE);
        each->set_visible(shown);
    }
    settle();
}

// Per window: created and never shown, shown and painted, and what hiding and showing again adds over ten
// rounds (the heap keeps what a hidden window gave back, so only a leak would grow it).
void bench_windows()
{
    constexpr int count = 4;
    const double start = working_set_mb();
    std::vector<std::unique_ptr<filled_window>> windows;
    for (int i = 0; i < count; ++i)
        windows.push_back(std::make_unique<filled_window>());
    settle();
    const double created = working_set_mb();
    show_all(windows, true);
    const double painted = working_set_mb();
    for (int round = 0; round < 10; ++round) {
        show_all(windows, false);
        show_all(windows, true);
    }
    const double cycled = working_set_mb();
    // A back buffer of 960 x 540 BGRA pixels is 2 MB; the swap chain holds two.
    report("window created, never shown (each)", (created - start) / count, 1);
    report("window shown and painted, 960x540 (each)", (painted - created) / count, 8);
    report("10 rounds of hiding and showing again (each)", (cycled - painted) / count, 1);
}

std::vector<EffectEntry> catalogue(size_t size)
{
    std::vector<EffectEntry> entries;
    for (size_t i = 0; i < size; ++i)
        entries.push_back({int32_t(i), "Effect " + std::to_string(i), "effect " + std::to_string(i), "Stylize", false});
    return entries;
}

// Samples the peak while the preferences window runs its modal loop, then closes it with Escape.
int samples_left = 0;
double modal_peak = 0;

void CALLBACK sample_preferences(HWND, UINT, UINT_PTR timer, DWORD)
{
    modal_peak = std::max(modal_peak, working_set_mb());
    if (--samples_left > 0)
        return;
    KillTimer(nullptr, timer);
    if (HWND preferences = FindWindowW(nullptr, L"Preferences"))
        PostMessageW(preferences, WM_KEYDOWN, VK_ESCAPE, 0);
}

void bench_preferences(window& owner)
{
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    const qzsdk::path folder = qzsdk::path(std::wstring(temp) + L"zephrin_bench_window_memory");
    CreateDirectoryW(folder.c_str(), nullptr);
    PopupSettings settings;
    settings.capture_folder = folder.join(qzsdk::path(L"captures")).to_utf8();
    NewsServer refusing;
    refusing.host = "127.0.0.1:1";
    EffectsPopupWindow popup(&owner, &settings, MakerFolders{folder, folder}, refusing);
    popup.SetEffects(catalogue(5000));
    int32_t result = 0;
    popup.RunCommand(result, "Project", "Comp", "Layer", popup_command_show);
    settle();
    const double popup_alone = std::max(working_set_mb(), peak_mb());
    report("peak with the effects popup open", popup_alone, 450);

    samples_left = 50;
    SetTimer(nullptr, 0, 20, sample_preferences);
    popup.RunCommand(result, "Project", "Comp", "Layer", popup_command_preferences);
    const double with_preferences = std::max(modal_peak, peak_mb());
    report("peak with the preferences window open", with_preferences, 600);
    // One more shown window of 1000 x 568 and its widgets; its helper windows (drop markers, drag rows,
    // tooltip) are never shown here and hold nothing.
    report("added by the preferences window", with_preferences - popup_alone, 64);
}

}  // namespace

int main()
{
    OleInitialize(nullptr);
    {
        window host;
        host.create("Host", rect{0, 0, 400, 300}, window_style::popup);
        host.set_visible(true);
        settle();
        // The peaks first: the process's peak would otherwise hold the windows measured below.
        bench_preferences(host);
        bench_windows();
    }
    OleUninitialize();
    return 0;
}
