#pragma once
// Text the host hands back in a memory block (a script's answer).
#include "host/suite_cache.h"

#include <string>

// The block's text up to its first zero byte or its end, whichever comes first: the host does not promise a
// terminator. Empty for no block.
std::string ReadMemHandleText(SuiteCache& suites, AEGP_MemHandle handle);
