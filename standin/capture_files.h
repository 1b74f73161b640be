#pragma once
// The screenshots the module stored in its capture folder during this run, as state.json shows them.
#include <windows.h>

#include <nlohmann/json.hpp>

namespace standin {

// [{"name", "width", "height"}...] by name: every PNG in the module's capture folder (the folder its settings
// file names, else the default under the documents folder) written since the time given; a file that does
// not decode has width and height 0.
nlohmann::json capture_files_json(const FILETIME& since);

}  // namespace standin
