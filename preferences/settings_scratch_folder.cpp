#include "preferences/settings_scratch_folder.h"

#include "toolkit/platform/file_system.h"
#include "toolkit/platform/text.h"

#include <windows.h>

#include <string>

namespace {

// Two operations in the same second (here or in another instance of the host) must not share, or remove,
// each other's folder: a taken name gets a counter instead.
constexpr int max_names_per_second = 100;

}  // namespace

SettingsScratchFolder::SettingsScratchFolder(const qzsdk::path& maker_folder)
{
    if (maker_folder.empty() || !qzsdk::create_directories(maker_folder))
        return;
    std::string base = "zephrin_settings_" + std::to_string(qzsdk::clock_now() / qzsdk::ticks_per_second);
    for (int attempt = 1; attempt <= max_names_per_second; ++attempt) {
        std::string name = attempt == 1 ? base : base + "_" + std::to_string(attempt);
        qzsdk::path candidate = maker_folder.join(qzsdk::path::from_utf8(name));
        // Creating the folder is the claim: it fails when the name is already taken.
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            folder_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
}

SettingsScratchFolder::~SettingsScratchFolder()
{
    qzsdk::remove_tree(folder_);
}
