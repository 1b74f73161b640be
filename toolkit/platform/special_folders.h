#pragma once
// The shell's special folders and the folder named by the maker's registry key. Each gives the empty path
// when the system cannot say.
#include "toolkit/platform/path.h"

#include <string_view>

namespace qzsdk {

path common_app_data_folder();
path local_app_data_folder();
path documents_folder();

// The value of HKEY_LOCAL_MACHINE "SOFTWARE\Tarnwick" (the empty name reads the key's default value), else
// the environment variable, else the documents folder. A value too long for its buffer counts as missing.
path folder_from_registry_or_environment(std::string_view value_name, std::string_view variable_name);

}  // namespace qzsdk
