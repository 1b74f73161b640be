#pragma once
// The folder through which settings are exported and imported: "zephrin_settings_<Unix seconds>" under the
// maker folder, claimed fresh for one operation and removed with everything in it when the operation ends,
// whatever way it ends.
#include "toolkit/platform/path.h"

class SettingsScratchFolder {
public:
    explicit SettingsScratchFolder(const qzsdk::path& maker_folder);
    ~SettingsScratchFolder();
    SettingsScratchFolder(const SettingsScratchFolder&) = delete;
    SettingsScratchFolder& operator=(const SettingsScratchFolder&) = delete;

    // Empty when no folder could be created.
    const qzsdk::path& get() const { return folder_; }

private:
    qzsdk::path folder_;
};
