#pragma once
// One owner for every kind of Win32 handle: a file, a mapping, a find, a registry key, a mapped view.
#include <windows.h>

#include <cstdint>
#include <utility>

namespace qzsdk {

template <typename Handle, auto Close>
class unique_handle {
public:
    unique_handle() = default;
    explicit unique_handle(Handle handle) : handle_(handle) {}
    ~unique_handle() { reset(); }
    unique_handle(unique_handle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    unique_handle& operator=(unique_handle&& other) noexcept
    {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, Handle{});
        }
        return *this;
    }
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;

    Handle get() const { return handle_; }
    // Win32 reports failure as null or as INVALID_HANDLE_VALUE depending on the call.
    explicit operator bool() const
    {
        auto bits = reinterpret_cast<intptr_t>(handle_);
        return bits != 0 && bits != -1;
    }
    void reset(Handle handle = Handle{})
    {
        if (*this)
            Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_{};
};

using file_handle = unique_handle<HANDLE, &CloseHandle>;
using find_handle = unique_handle<HANDLE, &FindClose>;
using registry_key = unique_handle<HKEY, &RegCloseKey>;
using view_handle = unique_handle<void*, &UnmapViewOfFile>;

}  // namespace qzsdk
