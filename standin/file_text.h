#pragma once
#include <string>

namespace standin {

// The whole file's bytes; throws std::runtime_error naming `what` when it cannot be read or exceeds 64 MB.
std::string read_text_file(const std::wstring& path, const std::string& what);

}  // namespace standin
