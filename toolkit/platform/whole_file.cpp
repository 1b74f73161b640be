#include "toolkit/platform/whole_file.h"

#include "toolkit/platform/unique_handle.h"

#include <windows.h>

#include <algorithm>

namespace qzsdk {

whole_file read_whole_file(const path& file, uint64_t max_size)
{
    file_handle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        DWORD error = GetLastError();
        bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || file.empty();
        return {missing ? whole_file_state::missing : whole_file_state::unreadable, {}};
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle.get(), &size) || uint64_t(size.QuadPart) > max_size)
        return {whole_file_state::unreadable, {}};
    whole_file result{whole_file_state::read, std::string(size_t(size.QuadPart), '\0')};
    size_t filled = 0;
    while (filled < result.bytes.size()) {
        DWORD chunk = DWORD(std::min<size_t>(result.bytes.size() - filled, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(handle.get(), result.bytes.data() + filled, chunk, &read, nullptr) || read == 0)
            return {whole_file_state::unreadable, {}};
        filled += read;
    }
    return result;
}

}  // namespace qzsdk
