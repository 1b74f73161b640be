#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

namespace standin {

// The properties of a module's PiPL resource, by four-character key; empty when the module has none.
std::map<std::string, std::string> read_pipl(HMODULE module);

}  // namespace standin
