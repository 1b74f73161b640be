#pragma once
// Where a screenshot stored in the capture folder goes: "<project>_<comp>_<local time>.png".
#include "toolkit/platform/path.h"

#include <functional>
#include <string>
#include <string_view>

// The name with every character that a Windows file name cannot hold (control characters and
// < > : " / \ | ? *) replaced by '_', so a composition called "A/B: final?" names a file, not a folder.
std::string FileNameSafe(std::string_view name);

// "<project>_<comp>_<timestamp>.png" in the folder, the project and composition parts left out when empty;
// when a file of that name exists or the name is otherwise taken (two captures in the same second, the first
// still being written) the first free "_2", "_3", ... variant, so an earlier capture is never overwritten.
qzsdk::path UnusedGalleryFilePath(const qzsdk::path& folder, std::string_view project_name,
                                  std::string_view comp_name, std::string_view timestamp,
                                  const std::function<bool(const qzsdk::path&)>& taken = nullptr);
