#pragma once
// The module's settings file and list files (under the local application-data folder, "Tarnwick"), as
// state.json shows them at quit.
#include <nlohmann/json.hpp>

namespace standin {

// {"effects_settings": {"records": [{"type", "hex"}...]}, "effects_search.txt": {"text"},
//  "effects_shortcuts.txt": {"text"}}; null for a file that is not there, {"size"} for one that does not read
// as its kind.
nlohmann::json maker_files_json();

}  // namespace standin
