#include "toolkit/platform/atomic_write.h"

#include "toolkit/platform/unique_handle.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <string_view>

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

constexpr std::wstring_view temporary_marker = L".~";
constexpr std::wstring_view temporary_suffix = L".tmp";

bool all_digits(std::wstring_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// The process id in a name made by temporary_path_beside for this target's name, or 0 when it is not one.
DWORD temporary_owner(std::wstring_view name, std::wstring_view target_name)
{
    if (!name.starts_with(target_name) || !name.ends_with(temporary_suffix))
        return 0;
    name.remove_prefix(target_name.size());
    name.remove_suffix(temporary_suffix.size());
    if (!name.starts_with(temporary_marker))
        return 0;
    name.remove_prefix(temporary_marker.size());
    size_t separator = name.find(L'_');
    if (separator == std::wstring_view::npos || !all_digits(name.substr(0, separator)) ||
        !all_digits(name.substr(separator + 1)) || separator > 9)
        return 0;
    return DWORD(std::stoul(std::wstring(name.substr(0, separator))));
}

bool process_running(DWORD process_id)
{
    file_handle process(OpenProcess(SYNCHRONIZE, FALSE, process_id));
    return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// Temporaries of this target left by a writer that crashed before its rename. Those of this process and of
// any process still running may belong to a write in progress and stay.
void remove_stale_temporaries(const path& target)
{
    const std::wstring target_name = target.file_name(true).wide();
    const path folder = target.parent();
    WIN32_FIND_DATAW found;
    find_handle search(FindFirstFileW((target.wide() + L".~*.tmp").c_str(), &found));
    if (!search)
        return;
    do {
        DWORD owner = temporary_owner(found.cFileName, target_name);
        if (owner && owner != GetCurrentProcessId() && !process_running(owner))
            DeleteFileW(folder.join(found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}

// A virus scanner, a backup or an indexer often opens a file just written for a moment without delete
// sharing: the rename then fails with one of these until it lets go. Access denied also answers a read-only
// file or a folder in the target's place, which no wait cures: only an existing writable file can be held.
bool held_by_another_program(DWORD error, const path& target)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return true;
    if (error != ERROR_ACCESS_DENIED)
        return false;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
}

// Tries again for a moment while either file is held; a file held longer fails as any other error does.
bool move_when_released(const path& from, const path& to, DWORD flags)
{
    constexpr ULONGLONG patience_ms = 500;
    constexpr DWORD longest_pause_ms = 50;
    const ULONGLONG deadline = GetTickCount64() + patience_ms;
    DWORD pause_ms = 5;
    while (!MoveFileExW(from.c_str(), to.c_str(), flags)) {
        if (!held_by_another_program(GetLastError(), to) || GetTickCount64() >= deadline)
            return false;
        Sleep(pause_ms);
        pause_ms = std::min(pause_ms * 2, longest_pause_ms);
    }
    return true;
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
    if (!move_when_released(complete_file, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    remove_stale_temporaries(target);
    return true;
}

bool write_file_atomically(const path& target, std::string_view bytes, existing_target existing)
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
    // Without MOVEFILE_REPLACE_EXISTING the rename fails when a file took the name meanwhile.
    const bool placed = written && (existing == existing_target::replace
                                        ? rename_over(temporary, target)
                                        : move_when_released(temporary, target, MOVEFILE_WRITE_THROUGH));
    if (placed)
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

}  // namespace qzsdk
