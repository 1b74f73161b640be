#pragma once
// The clipboard as state.json shows it at quit, and the session's way to empty it first.
#include <nlohmann/json.hpp>

namespace standin {

// {"image": {"width", "height"}} for a device-independent bitmap on it, else {"image": null}.
nlohmann::json clipboard_json();
bool empty_clipboard();

}  // namespace standin
