#include "toolkit/platform/binary_file.h"

#include <algorithm>

namespace qzsdk {

// A reader never stands in the way of a delete: the gallery reads captures in the background while the user
// may delete them, from the gallery itself or from Explorer.
binary_file binary_file::open_for_reading(const path& file)
{
    return binary_file(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

binary_file binary_file::create(const path& file)
{
    return binary_file(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool binary_file::read_some(void* buffer, uint32_t size, uint32_t& read)
{
    DWORD count = 0;
    read = 0;
    if (!handle_ || !ReadFile(handle_.get(), buffer, size, &count, nullptr))
        return false;
    read = count;
    position_ += count;
    return true;
}

bool binary_file::read_exact(void* buffer, uint32_t size)
{
    uint32_t read = 0;
    return read_some(buffer, size, read) && read == size;
}

bool binary_file::write_all(const void* bytes, size_t size)
{
    auto next = static_cast<const char*>(bytes);
    while (size > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!handle_ || !WriteFile(handle_.get(), next, chunk, &written, nullptr) || written != chunk)
            return false;
        position_ += written;
        next += chunk;
        size -= chunk;
    }
    return true;
}

bool binary_file::seek(uint64_t position)
{
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(position);
    if (!handle_ || !SetFilePointerEx(handle_.get(), distance, nullptr, FILE_BEGIN))
        return false;
    position_ = position;
    return true;
}

uint64_t binary_file::size() const
{
    LARGE_INTEGER size;
    if (!handle_ || !GetFileSizeEx(handle_.get(), &size))
        return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

bool binary_file::flush()
{
    return handle_ && FlushFileBuffers(handle_.get());
}

}  // namespace qzsdk
