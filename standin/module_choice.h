#pragma once
// The module's session-only export that chooses a catalogue entry by name, as its popup would.
#include <windows.h>

#include <string>

namespace standin {

// Empty on success; otherwise why nothing was chosen.
std::string choose_entry(HMODULE module, const std::string& name);

}  // namespace standin
