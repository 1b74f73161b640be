#include "standin/file_check.h"

#include <windows.h>

namespace standin {

namespace {

std::string format_of(HANDLE file)
{
    unsigned char head[4] = {};
    DWORD read = 0;
    if (!ReadFile(file, head, sizeof head, &read, nullptr) || read < 2)
        return "other";
    if (read == 4 && head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G')
        return "png";
    return head[0] == 0xFF && head[1] == 0xD8 ? "jpeg" : "other";
}

}  // namespace

FileCheck check_file(const std::string& written, const std::wstring& path)
{
    FileCheck check{written, false, {}};
    // Shared for everything: the module may hold the file open.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return check;
    check.exists = true;
    check.format = format_of(file);
    CloseHandle(file);
    return check;
}

nlohmann::json file_checks_json(const std::vector<FileCheck>& checks)
{
    nlohmann::json list = nlohmann::json::array();
    for (const FileCheck& check : checks)
        list.push_back({{"path", check.path},
                        {"exists", check.exists},
                        {"format", check.exists ? nlohmann::json(check.format) : nlohmann::json()}});
    return list;
}

bool remove_file_if_there(const std::wstring& path)
{
    if (DeleteFileW(path.c_str()))
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace standin
