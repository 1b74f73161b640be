// Pixel conversion of a full-HD frame at each channel depth, and packing and unpacking a settings-sized
// archive. Prints the mean time of each.
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/float_image.h"
#include "toolkit/platform/folder_archive.h"
#include "toolkit/platform/thread_pool.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace qzsdk;

namespace {

void measure(const char* label, int repeats, const std::function<void()>& work)
{
    work();  // warm-up
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeats; ++i)
        work();
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%-44s %9.3f ms\n", label, elapsed.count() / repeats);
}

void bench_pixels()
{
    constexpr uint32_t width = 1920, height = 1080;
    std::vector<uint8_t> frame(size_t(width) * height * 16);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<uint8_t>(i * 31);
    for (uint32_t depth : {1u, 2u, 4u}) {
        std::string label = "to float, 1920x1080, " + std::to_string(depth * 8) + " bits";
        measure(label.c_str(), 20, [&] { make_float_image(frame.data(), {width, height}, width * 4 * depth, depth); });
    }
    float_image image = make_float_image(frame.data(), {width, height}, width * 4, 1);
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    measure("float to 8 bits, 1920x1080", 20, [&] {
        convert_float_to_8bit({&image, {0, 0, width, height}, pixels.data(), width * 4});
    });
}

void bench_archive()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path root = path(base).join(path(L"zephrin_bench_" + std::to_wstring(GetCurrentProcessId())));
    path source = root.join(L"source");
    create_directories(source.join(L"sub"));
    for (const wchar_t* name : {L"effects_settings", L"effects_search.txt", L"sub\\effects_shortcuts.txt"}) {
        std::ofstream out(std::filesystem::path(source.join(name).wide()), std::ios::binary);
        for (int line = 0; line < 20000; ++line)
            out << "effect " << line << " alias " << (line * 7919) % 1000 << "\n";
    }
    path archive = root.join(L"settings.zqs");
    path destination = root.join(L"destination");
    create_directories(destination);
    measure("archive pack, 3 files of about 500 KiB", 10, [&] { folder_archive::pack(source, archive); });
    measure("archive unpack, 3 files of about 500 KiB", 10, [&] { folder_archive::unpack(archive, destination); });
    remove_tree(root);
}

}  // namespace

int main()
{
    std::printf("threads: %u\n", thread_pool::instance().thread_count());
    bench_pixels();
    bench_archive();
    thread_pool::instance().shutdown();
    return 0;
}
