#pragma once
#include <cstdint>

// Which host release the module runs in, from the host API version it is given: 0 is the newest known
// release, 7 any release not known. It picks the user presets folder.
uint32_t HostGenerationCode(int32_t major_version, int32_t minor_version);

// Hosts whose generation the module does not run in at all: PluginMain creates nothing for them.
bool IsUnsupportedHost(int32_t major_version);
