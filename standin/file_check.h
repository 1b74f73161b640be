#pragma once
// The session's `file` checks: whether a file the module writes or deletes is there, and what it holds, as
// state.json records them.
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace standin {

struct FileCheck {
    std::string path;    // as the session wrote it
    bool exists = false;
    std::string format;  // "png", "jpeg" or "other" by the file's first bytes; empty when it is not there
};

FileCheck check_file(const std::string& written, const std::wstring& path);
// Deletes the file; true when it is gone, also when neither it nor its folder was ever there.
bool remove_file_if_there(const std::wstring& path);
nlohmann::json file_checks_json(const std::vector<FileCheck>& checks);

}  // namespace standin
