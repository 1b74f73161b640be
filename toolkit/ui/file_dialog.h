#pragma once
// The shell's modal file open/save dialog and folder picker. Cancelling gives an empty result; every other
// failure throws qz_exception with a fixed English message.
#include "toolkit/platform/path.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qzsdk::ui {

class window;

// One entry of the dialog's type list, e.g. "PNG files (*.png)" with "*.png".
struct file_filter {
    std::string_view name;
    std::string_view pattern;
};

constexpr uint32_t file_dialog_save = 0;
constexpr uint32_t file_dialog_open = 1;

// The extension a typed name without one receives: the pattern without its "*.", or none when the pattern
// has no plain extension ("*", "*.*").
std::wstring default_extension_of(std::string_view pattern);

// Modal to the owner's native window (none without an owner). The selected filter counts from 0; an index
// past the list selects the first.
std::vector<path> show_file_dialog(window* owner, uint32_t mode, std::string_view title,
                                   const std::vector<file_filter>& filters, uint32_t selected_filter,
                                   std::string_view default_name);

// An initial folder that cannot be parsed is ignored and the dialog opens where the system chooses.
path show_folder_dialog(window* owner, std::string_view title, const path& initial_folder);

}  // namespace qzsdk::ui
