#include "host/host_generation.h"

uint32_t HostGenerationCode(int32_t major_version, int32_t minor_version)
{
    switch (major_version) {
    case 115: return 0;
    case 114: return 1;
    case 113: return minor_version >= 5 ? 2 : 3;
    case 112: return 4;
    case 111: return 5;
    case 17: return 6;
    default: return 7;
    }
}

bool IsUnsupportedHost(int32_t major_version)
{
    return major_version == 111 || major_version == 17;
}
