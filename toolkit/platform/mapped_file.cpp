#include "toolkit/platform/mapped_file.h"

#include <windows.h>

namespace qzsdk {

namespace {

constexpr uint64_t largest_mapping = 0xFFFFFFFFull;

uint64_t allocation_granularity()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwAllocationGranularity;
}

}  // namespace

mapped_file::mapped_file(const path& file, int32_t mode, uint64_t size, bool defer_mapping, bool truncate)
    : mode_(mode)
{
    bool read_only = mode == mapped_file_read;
    file_.reset(CreateFileW(file.c_str(), read_only ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                            nullptr, read_only ? OPEN_EXISTING : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_)
        return;
    open_ = true;
    if (truncate && !read_only && !SetEndOfFile(file_.get())) {
        close();
        return;
    }
    if (size == 0) {
        LARGE_INTEGER file_size;
        if (!GetFileSizeEx(file_.get(), &file_size)) {
            close();
            return;
        }
        size = static_cast<uint64_t>(file_size.QuadPart);
    }
    if (size == 0 || size > largest_mapping) {
        close();
        return;
    }
    mapping_.reset(CreateFileMappingW(file_.get(), nullptr, read_only ? PAGE_READONLY : PAGE_READWRITE, 0,
                                      static_cast<DWORD>(size), nullptr));
    if (!mapping_) {
        close();
        return;
    }
    size_ = size;
    if (!defer_mapping)
        map_view(0, size);
}

void mapped_file::close()
{
    view_.reset();
    mapping_.reset();
    file_.reset();
    size_ = 0;
    open_ = false;
}

uint32_t mapped_file::map_view(uint64_t offset, uint64_t length)
{
    if (!file_ || !mapping_)
        return 0;
    view_.reset();
    uint64_t rounded = offset - offset % allocation_granularity();
    uint64_t span = length + (offset - rounded);
    if (offset > largest_mapping || span > largest_mapping) {
        close();
        return 0;
    }
    DWORD access = mode_ == mapped_file_read ? FILE_MAP_READ : mode_ == mapped_file_write ? FILE_MAP_WRITE : FILE_MAP_ALL_ACCESS;
    view_.reset(MapViewOfFile(mapping_.get(), access, 0, static_cast<DWORD>(rounded), static_cast<SIZE_T>(span)));
    if (!view_)
        close();
    return static_cast<uint32_t>(rounded);
}

}  // namespace qzsdk
