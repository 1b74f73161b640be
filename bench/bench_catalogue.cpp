// The preset part of a catalogue rebuild (run on the UI thread each time the preferences open): walking a
// presets tree the size of the host's own and keying every file, first and again.
#include "bench/bench_timing.h"
#include "host/preset_catalogue.h"
#include "toolkit/platform/file_system.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int folders = 300;
constexpr int presets_per_folder = 10;

qzsdk::path make_tree()
{
    wchar_t temporary[MAX_PATH];
    GetTempPathW(MAX_PATH, temporary);
    qzsdk::path root = qzsdk::path(temporary).join(qzsdk::path(L"zephrin-bench-presets"));
    qzsdk::remove_tree(root);
    for (int f = 0; f < folders; ++f) {
        qzsdk::path folder = root.join(qzsdk::path(L"Group " + std::to_wstring(f % 20) + L"\\Set " + std::to_wstring(f)));
        qzsdk::create_directories(folder);
        for (int p = 0; p < presets_per_folder; ++p) {
            HANDLE file = CreateFileW(folder.join(qzsdk::path(L"Preset " + std::to_wstring(p) + L".ffx")).wide().c_str(),
                                      GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(file);
        }
    }
    return root;
}

}  // namespace

int main()
{
    qzsdk::path root = make_tree();
    PresetCatalogue presets;
    std::vector<EffectEntry> list;
    double first = median_ms(1, [&] { presets.AddFolder(root, list); });
    double again = median_ms(9, [&] {
        list.clear();
        presets.AddFolder(root, list);
    });
    std::printf("%-44s %9.3f ms\n", "presets, first build (3000 in 300 folders)", first);
    std::printf("%-44s %9.3f ms (%zu paths kept)\n", "presets, rebuild", again, presets.paths().size());
    qzsdk::remove_tree(root);
    return 0;
}
