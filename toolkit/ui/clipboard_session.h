#pragma once
// RAII pieces for the clipboard and global memory blocks: every opening is closed and every lock
// released on every path.
#include <windows.h>

#include <cstdint>

namespace qzsdk::ui {

// A message-only window: the clipboard's owner while it is filled, as Windows requires for SetClipboardData.
class clipboard_owner {
public:
    clipboard_owner()
        : handle_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                  nullptr))
    {
    }
    ~clipboard_owner()
    {
        if (handle_) DestroyWindow(handle_);
    }
    clipboard_owner(const clipboard_owner&) = delete;
    clipboard_owner& operator=(const clipboard_owner&) = delete;
    HWND handle() const { return handle_; }

private:
    HWND handle_;
};

class clipboard_session {
public:
    explicit clipboard_session(HWND owner) : open_(OpenClipboard(owner)) {}
    ~clipboard_session()
    {
        if (open_) CloseClipboard();
    }
    clipboard_session(const clipboard_session&) = delete;
    clipboard_session& operator=(const clipboard_session&) = delete;
    bool is_open() const { return open_; }

private:
    bool open_;
};

class global_lock {
public:
    explicit global_lock(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
    ~global_lock()
    {
        if (data_) GlobalUnlock(block_);
    }
    global_lock(const global_lock&) = delete;
    global_lock& operator=(const global_lock&) = delete;
    uint8_t* data() const { return static_cast<uint8_t*>(data_); }

private:
    HGLOBAL block_;
    void* data_;
};

struct global_free {
    void operator()(void* block) const { GlobalFree(block); }
};

}  // namespace qzsdk::ui
