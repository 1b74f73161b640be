// The gallery at scale: 500 and 5,000 full-HD PNG captures in a temporary folder. Prints, for each count, the
// first paint and the completion of the visible thumbnails with an empty and with a warm cache, the wait for
// thumbnails after scrolling, a rescan after one more capture, and the peak memory above the host's, each
// beside its goal; then what the gallery holds itself (pictures, decoding buffers, cache index, the widgets of
// its list) apart from the rest, which is the graphics stack's (bench_window_memory shows it per window). The
// host is stood for by a shown window of the toolkit, as the effects popup is when the gallery opens, so that
// the drawing stack's own start-up is not counted as the gallery's.
#define PSAPI_VERSION 2
#include "gallery/gallery_popup_window.h"
#include "gallery/picture_loader.h"
#include "gallery/thumbnail_cache.h"
#include "tests/gallery/gallery_test_api.h"
#include "tests/gallery/gallery_window_test_api.h"
#include "toolkit/platform/cache_store.h"
#include "toolkit/platform/file_system.h"

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

using namespace qzsdk;
using clock_type = std::chrono::steady_clock;

namespace {

double since(clock_type::time_point start)
{
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

void report(const std::string& label, double value, double goal, const char* unit)
{
    std::printf("%-52s %9.1f %s   goal %7.0f %s   %s\n", label.c_str(), value, unit, goal, unit,
                value <= goal ? "met" : "MISSED");
}

double memory_mb()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return double(counters.WorkingSetSize) / (1024 * 1024);
}

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Runs the message loop until every thumbnail in view shows its picture; samples memory meanwhile.
double wait_for_visible(GalleryWindowTestApi api, double& peak)
{
    const auto start = clock_type::now();
    for (;;) {
        pump();
        peak = std::max(peak, memory_mb());
        bool complete = true;
        for (GalleryThumbnail* thumbnail : api.column())
            if (thumbnail->visible_area().height > 0 && !thumbnail->picture)
                complete = false;
        if (complete || since(start) > 60000)
            return since(start);
        Sleep(2);
    }
}

double picture_mb(const ui::image* picture)
{
    return picture && picture->valid() ? double(picture->width()) * picture->height() * 4 / (1024 * 1024) : 0;
}

// Memory the working set gains while the action runs, sampled from this thread.
template <class Action>
double growth_mb(Action action)
{
    const double before = memory_mb();
    double peak = before;
    bool done = false;
    std::thread worker([&] {
        action();
        done = true;
    });
    while (!done) {
        peak = std::max(peak, memory_mb());
        Sleep(1);
    }
    worker.join();
    return std::max(peak, memory_mb()) - before;
}

struct held_pictures {
    double thumbnails = 0;
    double cells = 0;
    uint32_t pictured = 0;
};

held_pictures pictures_of(GalleryWindowTestApi api)
{
    held_pictures held;
    for (GalleryThumbnail* thumbnail : api.column())
        if (thumbnail->picture) {
            held.thumbnails += picture_mb(thumbnail->picture.get());
            ++held.pictured;
        }
    for (const auto& cell : GalleryTestApi::panels(api.preview()))
        held.cells += picture_mb(cell->image.get());
    return held;
}

// What the gallery holds itself, measured apart once the peak is known: the pictures it kept, what decoding
// needs at its peak, the cache's index and the widgets and paths of its list. The rest of the peak is the
// graphics stack's.
void report_holdings(const held_pictures& pictures, const path& folder, uint32_t count, double peak_above_host)
{
    const std::string n = " (" + std::to_string(count) + ")";
    const path capture = folder.join(path(L"capture_1.png"));
    // One decode of a capture into a thumbnail, uncached, times the loader's threads.
    const double decoding = growth_mb([&] {
        PictureLoader loader(path(), 1);
        loader.Want({{PictureLoader::Purpose::thumbnail, capture, 0, {}, 0}});
        loader.WaitUntilIdle();
    }) * GalleryPopupWindow::loader_threads;
    cache_store store;
    const double index = growth_mb([&] {
        store.open(ThumbnailCache::StoreFile());
        store.find(capture.to_utf8());
    });
    store.close();
    const double list = growth_mb([&] {
        ui::window holder;
        holder.create("List", ui::rect{0, 0, 200, 200}, ui::window_style::popup);
        std::vector<std::unique_ptr<GalleryThumbnail>> made;
        for (uint32_t i = 0; i < count; ++i) {
            made.push_back(std::make_unique<GalleryThumbnail>(nullptr, capture, 0));
            made.back()->attach_to_window(&holder.root(), ui::rect{0, 0, 173, 97});
        }
    });
    report("gallery holds: thumbnail pictures, " + std::to_string(pictures.pictured) + " near the view" + n,
           pictures.thumbnails, 24, "MB");
    report("gallery holds: preview pictures, 16 cells" + n, pictures.cells, 20, "MB");
    // Per decode the file's bytes and, under Wine, two full-size copies of the frame (8 MB each at full HD).
    report("gallery holds: decoding buffers at their peak" + n, decoding, 64, "MB");
    report("gallery holds: cache index while loading" + n, index, 8, "MB");
    report("gallery holds: list widgets and paths" + n, list, 24, "MB");
    const double held = pictures.thumbnails + pictures.cells + decoding + index + list;
    report("graphics stack and the rest of the peak" + n, peak_above_host - held, 120, "MB");
}

void set_time(const path& file, int64_t unix_seconds)
{
    set_file_times(file, unix_seconds, unix_seconds);
}

path make_captures(const path& folder, uint32_t count)
{
    create_directories(folder);
    const path model = folder.join(path(L"model.bin"));
    ui::image picture;
    picture.create_blank(1920, 1080, 1);
    ui::image::pixel_data data;
    picture.lock_pixels(data);
    for (uint32_t y = 0; y < 1080; ++y)
        for (uint32_t x = 0; x < 1920; ++x) {
            uint8_t* pixel = data.pixels + size_t(y) * data.stride + x * 4;
            pixel[0] = uint8_t(x ^ y);
            pixel[1] = uint8_t(x / 8 + y / 3);
            pixel[2] = uint8_t((x * y) >> 6);
            pixel[3] = 255;
        }
    picture.unlock_pixels();
    picture.save_to_file(model.wide(), ui::image_format_png);
    for (uint32_t i = 0; i < count; ++i) {
        const path file = folder.join(path(L"capture_" + std::to_wstring(i) + L".png"));
        CopyFileW(model.c_str(), file.c_str(), FALSE);
        set_time(file, 1600000000 + int64_t(i) * 60);
    }
    DeleteFileW(model.c_str());
    return folder;
}

void clear_cache()
{
    cache_store store;
    store.open(ThumbnailCache::StoreFile());
    store.clear();
}

void bench(uint32_t count, const std::vector<EffectsTheme>& themes, ui::window& popup)
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    const path folder = path(base).join(path(L"zephrin_gallery_bench_" + std::to_wstring(count)));
    make_captures(folder, count);
    const std::string capture = folder.to_utf8();
    const std::string n = " (" + std::to_string(count) + ")";
    clear_cache();
    const double host = memory_mb();
    double peak = host;
    held_pictures pictures;

    for (const bool warm : {false, true}) {
        GalleryPopupWindow gallery(&popup, &themes[0], capture);
        GalleryWindowTestApi api(gallery);
        const auto start = clock_type::now();
        gallery.ShowGallery(&themes[0]);  // shows and paints before returning
        const double painted = since(start);
        const double visible = painted + wait_for_visible(api, peak);
        const char* cache = warm ? "warm cache" : "empty cache";
        report(std::string("first paint, ") + cache + n, painted, warm ? 500 : 1000, "ms");
        report(std::string("visible thumbnails, ") + cache + n, visible, 2000, "ms");
        if (warm)
            break;

        for (const char* part : {"the middle", "the end"}) {
            const std::vector<GalleryThumbnail*> column = api.column();
            api.scroll_to(part[4] == 'm' ? column[column.size() / 2]->bounds().y : 1 << 28);
            report(std::string("thumbnails after scrolling to ") + part + n, wait_for_visible(api, peak), 500, "ms");
        }

        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(gallery.handle(), WM_KEYDOWN, 'A', 0);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
        SetKeyboardState(keys);
        api.settle();
        peak = std::max(peak, memory_mb());
        pictures = pictures_of(api);

        const path shot = folder.join(path(L"new_capture.png"));
        CopyFileW(folder.join(path(L"capture_0.png")).c_str(), shot.c_str(), FALSE);
        set_time(shot, 1700000000);
        const auto rescan = clock_type::now();
        gallery.Rescan();
        report("rescan after a screenshot, UI thread" + n, since(rescan), 50, "ms");
        DeleteFileW(shot.c_str());
    }
    report("peak memory above the host" + n, peak - host, 200, "MB");
    report_holdings(pictures, folder, count, peak - host);
    for (uint32_t i = 0; i < count; ++i)
        DeleteFileW(folder.join(path(L"capture_" + std::to_wstring(i) + L".png")).c_str());
    RemoveDirectoryW(folder.c_str());
    clear_cache();
}

}  // namespace

int main()
{
    OleInitialize(nullptr);
    const std::vector<EffectsTheme> themes = build_effects_themes();
    ui::window popup;
    popup.create("Host", ui::rect{0, 0, 400, 300}, ui::window_style::popup);
    popup.set_visible(true);
    pump();
    for (const uint32_t count : {500u, 5000u})
        bench(count, themes, popup);
    OleUninitialize();
    return 0;
}
