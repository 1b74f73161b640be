#include "toolkit/platform/file_system.h"

#include "toolkit/platform/directory_listing.h"
#include "toolkit/platform/unique_handle.h"

#include <windows.h>

#include <limits>
#include <vector>

namespace qzsdk {

namespace {

constexpr int64_t epoch_seconds = 11'644'473'600LL;  // 1601-01-01 to 1970-01-01
constexpr int64_t ticks_per_second = 10'000'000;

int64_t unix_seconds(const FILETIME& time)
{
    uint64_t ticks = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<int64_t>(ticks / ticks_per_second) - epoch_seconds;
}

// False for seconds before 1601 or beyond the signed 64-bit tick count Windows accepts.
bool to_file_time(int64_t seconds, FILETIME& time)
{
    if (seconds < -epoch_seconds || seconds > std::numeric_limits<int64_t>::max() / ticks_per_second - epoch_seconds)
        return false;
    uint64_t ticks = static_cast<uint64_t>(seconds + epoch_seconds) * ticks_per_second;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return true;
}

bool is_folder(const path& folder)
{
    DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool is_link(const path& item)
{
    DWORD attributes = GetFileAttributesW(item.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool is_dot_entry(const path& name)
{
    return name.wide() == L"." || name.wide() == L"..";
}

bool same_file(HANDLE first, HANDLE second)
{
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    return GetFileInformationByHandle(first, &a) && GetFileInformationByHandle(second, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

bool copy_stream(HANDLE source, HANDLE target)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return false;
        if (read == 0)
            return true;
        DWORD written = 0;
        if (!WriteFile(target, buffer.data(), read, &written, nullptr) || written != read)
            return false;
    }
}

}  // namespace

bool create_directories(const path& folder)
{
    if (folder.empty())
        return false;
    // A chain: each entry is the parent of the one below it.
    std::vector<path> pending{folder};
    bool created = false;
    // Set once the top's parent is known to exist as a folder: a not-found error then cannot be mended by
    // creating parents (a file stands in the way), and retrying would loop for ever.
    bool parent_exists = false;
    while (!pending.empty()) {
        const path& top = pending.back();
        if (CreateDirectoryW(top.c_str(), nullptr)) {
            pending.pop_back();
            created = parent_exists = true;
            continue;
        }
        DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            if (!is_folder(top))
                return false;
            pending.pop_back();
            created = parent_exists = true;
        } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_DRIVE) {
            path parent = top.parent();
            if (parent.empty() || parent_exists)
                return false;
            pending.push_back(std::move(parent));
        } else {
            return false;
        }
    }
    return created;
}

bool remove_tree(path folder)
{
    if (folder.empty())
        return false;
    if (!is_link(folder)) {
        for (const directory_entry& entry : directory_listing{folder, 0}) {
            if (is_dot_entry(entry.relative_path))
                continue;
            path item = folder.join(entry.relative_path);
            if (entry.is_folder)
                remove_tree(item);
            else
                DeleteFileW(item.c_str());
        }
    }
    if (!RemoveDirectoryW(folder.c_str()))
        return false;
    // Another process holding a handle can keep the folder visible for a moment after its removal.
    for (int attempt = 0; attempt < 10 && get_file_info(folder).exists; ++attempt)
        Sleep(500);
    return true;
}

bool remove_file(path file)
{
    return !file.empty() && DeleteFileW(file.c_str());
}

bool copy_file(const path& source, const path& target)
{
    if (source.empty() || target.empty())
        return false;
    // The source shares writing so that a target naming the same file can still be opened and recognised
    // before anything is truncated.
    file_handle input(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!input)
        return false;
    file_handle output(CreateFileW(target.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output)
        return false;
    if (same_file(input.get(), output.get()))
        return true;
    if (!SetEndOfFile(output.get()))
        return false;
    return copy_stream(input.get(), output.get());
}

file_info get_file_info(const path& file)
{
    file_info info;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (file.empty() || !GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data))
        return info;
    info.exists = 1;
    info.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.created = unix_seconds(data.ftCreationTime);
    info.modified = unix_seconds(data.ftLastWriteTime);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        info.kind = file_kind_folder;
    else if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE))
        info.kind = file_kind_file;
    return info;
}

bool set_file_times(const path& file, int64_t created, int64_t modified)
{
    if (file.empty())
        return false;
    file_handle handle(CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle)
        return false;
    FILETIME creation_time;
    FILETIME write_time;
    bool has_creation = to_file_time(created, creation_time);
    bool has_write = to_file_time(modified, write_time);
    return SetFileTime(handle.get(), has_creation ? &creation_time : nullptr, nullptr,
                       has_write ? &write_time : nullptr);
}

}  // namespace qzsdk
