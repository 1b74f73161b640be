#include "standin/file_blocks.h"

#include "standin/file_check.h"
#include "standin/text_codec.h"

#include <shlobj.h>

namespace standin {

namespace {

std::wstring aside_of(const std::wstring& path) { return path + L".standin-aside"; }

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

std::string FileBlocks::block(const std::wstring& path)
{
    const std::string named = to_utf8(path);
    // Left by a run that was killed before it put it back: moving over it would lose what it holds.
    if (exists(aside_of(path)))
        return to_utf8(aside_of(path)) + " is there already; put it back in place of " + named + " first";
    const bool moved_aside = exists(path);
    if (moved_aside && !MoveFileExW(path.c_str(), aside_of(path).c_str(), 0))
        return "what is at " + named + " could not be moved aside (error " + std::to_string(GetLastError()) + ")";
    const size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        SHCreateDirectoryExW(nullptr, path.substr(0, slash).c_str(), nullptr);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (moved_aside)
            MoveFileExW(aside_of(path).c_str(), path.c_str(), 0);
        return "no file could be put at " + named + " (error " + std::to_string(error) + ")";
    }
    CloseHandle(file);
    blocks_.push_back({path, moved_aside});
    return {};
}

std::string FileBlocks::release_all()
{
    std::string failures;
    auto add = [&failures](const std::string& failure) { failures += (failures.empty() ? "" : "; ") + failure; };
    for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block) {
        if (!remove_file_if_there(block->path))
            add("the file blocking " + to_utf8(block->path) + " could not be removed");
        else if (block->moved_aside && !MoveFileExW(aside_of(block->path).c_str(), block->path.c_str(), 0))
            add(to_utf8(aside_of(block->path)) + " could not be put back");
    }
    blocks_.clear();
    return failures;
}

}  // namespace standin
