#pragma once
// Where the settings file and the list files live: "Tarnwick" under the local application-data folder
// (always written), and under the common application-data folder (machine-wide defaults, read only).
#include "toolkit/platform/path.h"

#include <string_view>

struct MakerFolders {
    qzsdk::path local;
    qzsdk::path common;

    static MakerFolders standard();

    // The local folder when it holds the file, else the common one.
    const qzsdk::path& folder_to_read(std::wstring_view file_name) const;
};

// The files kept in the maker folders.
extern const wchar_t* const settings_file_name;
extern const wchar_t* const search_file_name;
extern const wchar_t* const shortcuts_file_name;
