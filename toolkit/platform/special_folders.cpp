#include "toolkit/platform/special_folders.h"

#include "toolkit/platform/text.h"
#include "toolkit/platform/unique_handle.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace qzsdk {

namespace {

constexpr DWORD value_buffer_bytes = 500;
constexpr DWORD variable_buffer_characters = 500;

path shell_folder(int csidl)
{
    wchar_t buffer[MAX_PATH];
    if (SHGetFolderPathW(nullptr, csidl, nullptr, 0, buffer) != S_OK)
        return {};
    return path(buffer);
}

path folder_from_registry(std::string_view value_name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarnwick", 0, KEY_READ | KEY_WOW64_64KEY, &opened) !=
        ERROR_SUCCESS)
        return {};
    registry_key key(opened);
    wchar_t buffer[value_buffer_bytes / sizeof(wchar_t)];
    DWORD size = value_buffer_bytes;
    // An over-long value fails with ERROR_MORE_DATA rather than arriving cut.
    if (SHRegGetValueW(key.get(), nullptr, utf8_to_wide(value_name).c_str(), SRRF_RT_REG_SZ, nullptr, buffer,
                       &size) != ERROR_SUCCESS)
        return {};
    return path(buffer);
}

path folder_from_environment(std::string_view variable_name)
{
    wchar_t buffer[variable_buffer_characters];
    // A variable too long for the buffer reports the size it needs, which is never below the buffer's.
    DWORD length = GetEnvironmentVariableW(utf8_to_wide(variable_name).c_str(), buffer, variable_buffer_characters);
    if (length == 0 || length >= variable_buffer_characters)
        return {};
    return path(buffer);
}

}  // namespace

path common_app_data_folder()
{
    return shell_folder(CSIDL_COMMON_APPDATA);
}

path local_app_data_folder()
{
    return shell_folder(CSIDL_LOCAL_APPDATA);
}

path documents_folder()
{
    return shell_folder(CSIDL_PERSONAL);
}

path folder_from_registry_or_environment(std::string_view value_name, std::string_view variable_name)
{
    // An empty value names no folder, like a missing one.
    path folder = folder_from_registry(value_name);
    if (folder.empty())
        folder = folder_from_environment(variable_name);
    if (folder.empty())
        folder = documents_folder();
    return folder;
}

}  // namespace qzsdk
