// The waits the popup's user sees: ./run bench
// Keystroke to rows painted, the popup shown after the hotkey, and a 3840x2160 capture stored as a PNG: how
// long the UI thread is held and when the file is complete.
#include "host/frame_pixels.h"
#include "host/screenshot.h"
#include "popup/effect_search.h"
#include "popup/effects_popup_window.h"
#include "tests/support/effects_popup_window_test_api.h"
#include "toolkit/platform/thread_pool.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/image.h"

#include <windows.h>

#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_timing.h"

using namespace qzsdk::ui;

namespace {

// "50,000": figures read as the goals are written.
std::string grouped(size_t number)
{
    const std::string digits = std::to_string(number);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

void print_figure(const std::string& what, double ms, double goal_ms)
{
    std::printf("%s: %.1f ms (goal %.0f ms)%s\n", what.c_str(), ms, goal_ms, ms <= goal_ms ? "" : "  MISSED");
}

void print_part(const char* what, double ms)
{
    std::printf("    %-44s %6.2f ms\n", what, ms);
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Names that all hold an "e", so a one-letter query matches every entry.
std::vector<EffectEntry> catalogue(size_t size)
{
    std::vector<EffectEntry> entries;
    entries.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        const std::string name = "Effect " + std::to_string(i);
        entries.push_back({int32_t(i), name, "effect " + std::to_string(i), "Stylize", i % 4 == 0});
    }
    return entries;
}

qzsdk::path bench_folder(const wchar_t* leaf)
{
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    const qzsdk::path folder = qzsdk::path(std::wstring(temp) + leaf);
    CreateDirectoryW(folder.wide().c_str(), nullptr);
    return folder;
}

// The last child of the popup's root, painted after every other widget: where painting ends and
// presenting the frame begins.
class PaintEndMark : public widget {
public:
    PaintEndMark() { connect_member(this, event_id::paint, &PaintEndMark::OnPaint, this); }
    bench_clock::time_point painted;

private:
    void OnPaint() { painted = bench_clock::now(); }
};

struct KeyTimes {
    std::vector<double> handled, painted, presented, total;
};

// One typed key as the popup meets it: the character, then the paint it asked for.
void type_key(EffectsPopupWindow& popup, PaintEndMark& mark, wchar_t key, KeyTimes& times)
{
    const auto start = bench_clock::now();
    SendMessageW(popup.handle(), WM_CHAR, key, 0);
    const auto handled = bench_clock::now();
    mark.painted = handled;
    UpdateWindow(popup.handle());
    const auto end = bench_clock::now();
    auto ms = [](bench_clock::time_point from, bench_clock::time_point to) {
        return std::chrono::duration<double, std::milli>(to - from).count();
    };
    times.handled.push_back(ms(start, handled));
    times.painted.push_back(ms(handled, mark.painted));
    times.presented.push_back(ms(mark.painted, end));
    times.total.push_back(ms(start, end));
}

void type_text(EffectsPopupWindow& popup, std::wstring_view text)
{
    for (wchar_t key : text)
        SendMessageW(popup.handle(), WM_CHAR, key, 0);
    UpdateWindow(popup.handle());
}

int32_t client_height(HWND handle)
{
    RECT client{};
    GetClientRect(handle, &client);
    return client.bottom;
}

// The key that opens the list (the window grows from the search row to the list's full height), and
// its parts measured one at a time in the state it leaves.
void bench_first_key(EffectsPopupWindow& popup, PaintEndMark& mark, size_t size)
{
    EffectsPopupWindowTestApi api(popup);
    // Warm: the first keys after the list is filled pay once for fonts and the render target's size.
    for (int run = 0; run < 3; ++run)
        type_text(popup, L"e\b");
    KeyTimes key;
    for (int run = 0; run < 21; ++run) {
        type_key(popup, mark, L'e', key);
        type_text(popup, L"\b");
    }
    type_text(popup, L"e");
    if (client_height(popup.handle()) < 100)
        std::printf("the search box did not take the key: the figures below are not the list's\n");

    EffectSearch search;
    search.set_entries(popup.entries());
    const double searched = median_ms(21, [&] { search.run(popup.lists().aliases, popup.lists().blacklist, "e"); });
    const double rebound = median_ms(21, [&] { api.RebindRows(); });
    int32_t height = 0;
    const double laid_out = median_ms(21, [&] { height = api.LayOutList(); });
    std::vector<double> resizes;
    for (int run = 0; run < 21; ++run) {
        api.ResizeToList(45);
        resizes.push_back(median_ms(1, [&] { api.ResizeToList(height); }));
    }
    pump();
    type_text(popup, L"\b");

    print_figure("keystroke to rows painted, " + grouped(size) + " entries", median(key.total), 16);
    print_part("handling the key", median(key.handled));
    print_part("  of which the search alone", searched);
    print_part("  of which rebinding the row pool", rebound);
    print_part("  of which laying out the list (none moved)", laid_out);
    print_part("  of which resizing the native window", median(resizes));
    print_part("painting", median(key.painted));
    print_part("presenting", median(key.presented));
}

// A key typed into a query: the rows change, the window keeps its size.
void bench_next_key(EffectsPopupWindow& popup, PaintEndMark& mark, size_t size)
{
    type_text(popup, L"effect 1");
    KeyTimes key;
    for (int run = 0; run < 21; ++run) {
        type_key(popup, mark, L'2', key);
        type_text(popup, L"\b");
    }
    for (size_t typed = 0; typed < 8; ++typed)
        type_text(popup, L"\b");
    print_figure("key typed into a query, " + grouped(size) + " entries", median(key.total), 16);
    print_part("handling the key", median(key.handled));
    print_part("painting", median(key.painted));
    print_part("presenting", median(key.presented));
}

void bench_popup(window& owner)
{
    PopupSettings settings;
    const qzsdk::path folder = bench_folder(L"zephrin_bench_popup");
    settings.capture_folder = folder.join(qzsdk::path(L"captures")).to_utf8();
    EffectsPopupWindow popup(&owner, &settings, MakerFolders{folder, folder},
                             EffectsPopupWindowTestApi::refusing_news_server());
    PaintEndMark mark;
    mark.attach_to_window(&popup.root(), {0, 0, 10000, 10000});
    int32_t result = 0;
    for (size_t size : {size_t(5000), size_t(50000)}) {
        popup.SetEffects(catalogue(size));
        popup.RunCommand(result, "Project", "Comp", "Layer", popup_command_show);
        pump();
        bench_first_key(popup, mark, size);
        bench_next_key(popup, mark, size);
        popup.Hide();
        pump();
    }
    std::vector<double> shows;
    for (int run = 0; run < 11; ++run) {
        const auto start = bench_clock::now();
        popup.RunCommand(result, "Project", "Comp", "Layer", popup_command_show);
        UpdateWindow(popup.handle());
        shows.push_back(ms_since(start));
        popup.Hide();
        pump();
    }
    print_figure("popup shown after the hotkey (warm)", median(shows), 50);
    popup.StopNewsCheck();
}

// A frame that deflate flattens well (a regular pattern) and one it cannot (grain), with varying alpha.
void bench_capture(const char* content, uint8_t (*channel)(size_t index, uint32_t& noise))
{
    constexpr int32_t width = 3840;
    constexpr int32_t height = 2160;
    // 8-bit ARGB, as the host renders a frame at 8 bits a channel.
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    uint32_t noise = 12345;
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = channel(i, noise);
    PF_EffectWorld frame{width, height, width * 4, AEGP_WorldType(1), pixels.data()};
    const qzsdk::path folder = bench_folder(L"zephrin_bench_capture");
    const std::string capture_folder = folder.to_utf8();
    CaptureWriter writer;
    std::vector<double> ui_thread, complete, conversion;
    for (int run = 0; run < 5; ++run) {
        const auto start = bench_clock::now();
        CapturedFrame captured{ImageFromFrame(frame), "Bench", "Comp"};
        conversion.push_back(ms_since(start));
        if (!StoreInCaptureFolder(*captured.image, captured, capture_folder, writer))
            std::printf("the capture was not handed to the writer: the figures below mean nothing\n");
        ui_thread.push_back(ms_since(start));
        std::vector<CaptureWriter::Finished> finished;
        while ((finished = writer.TakeFinished()).empty())
            Sleep(1);
        complete.push_back(ms_since(start));
        if (!finished[0].written)
            std::printf("the capture was not written: the figures below mean nothing\n");
        DeleteFileW(finished[0].file.c_str());
    }
    for (auto* times : {&ui_thread, &complete, &conversion})
        std::sort(times->begin(), times->end());
    std::printf("3840x2160 capture to the folder, %s:\n", content);
    print_figure("  UI thread busy", ui_thread[2], 300);
    print_figure("  PNG file complete", complete[2], 1000);
    print_part("  of which the pixel conversion", conversion[2]);
}

}  // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        window owner;
        owner.create("bench owner", {0, 0, 200, 200}, window_style::borderless);
        bench_popup(owner);
        bench_capture("regular pattern", [](size_t i, uint32_t&) { return uint8_t((i * 7) ^ (i >> 9)); });
        bench_capture("film grain", [](size_t i, uint32_t& noise) {
            noise = noise * 1664525u + 1013904223u;
            return uint8_t(((i / 4) % 3840) / 16 + (noise >> 27));
        });
    }
    qzsdk::thread_pool::instance().shutdown();
    CoUninitialize();
    return 0;
}
