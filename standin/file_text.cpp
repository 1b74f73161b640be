#include "standin/file_text.h"

#include <windows.h>

#include <memory>
#include <stdexcept>

namespace standin {

std::string read_text_file(const std::wstring& path, const std::string& what)
{
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        throw std::runtime_error(what + ": cannot open it (error " + std::to_string(GetLastError()) + ")");
    std::unique_ptr<void, decltype(&CloseHandle)> owner(opened, &CloseHandle);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(opened, &size) || size.QuadPart > (64 << 20))
        throw std::runtime_error(what + ": cannot read its size, or it is larger than 64 MB");
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(opened, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()))
        throw std::runtime_error(what + ": cannot read it");
    return bytes;
}

}  // namespace standin
