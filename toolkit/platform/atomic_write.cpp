#include "toolkit/platform/atomic_write.h"

#include "toolkit/platform/unique_handle.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace qzsdk {

namespace {

bool write_all(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written != chunk)
            return false;
        bytes.remove_prefix(chunk);
    }
    return FlushFileBuffers(file);
}

}  // namespace

// Unique per process and call, so that concurrent writers never share a temporary file; a leftover from a
// crashed process is simply overwritten.
path temporary_path_beside(const path& target)
{
    static std::atomic<uint32_t> counter{0};
    return path(target.wide() + L".~" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(counter++) +
                L".tmp");
}

bool rename_over(const path& complete_file, const path& target)
{
    // ReplaceFileW is not atomic everywhere; one rename is.
    return MoveFileExW(complete_file.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool write_file_atomically(const path& target, std::string_view bytes)
{
    if (target.empty())
        return false;
    path temporary = temporary_path_beside(target);
    file_handle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    bool written = write_all(file.get(), bytes);
    file.reset();
    if (written && rename_over(temporary, target))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

}  // namespace qzsdk
