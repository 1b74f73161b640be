#pragma once
// A CF_HDROP block listing files, in the wide form (the narrow one garbles non-ASCII names).
#include <windows.h>

#include <vector>

#include "toolkit/platform/path.h"

namespace qzsdk::ui {

// A movable global block, or null when memory is short; the caller frees it (ReleaseStgMedium).
HGLOBAL make_file_drop_block(const std::vector<path>& files);

}  // namespace qzsdk::ui
