#include "toolkit/ui/clipboard_text.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "toolkit/ui/clipboard_session.h"

namespace qzsdk::ui {

bool copy_text_to_clipboard(std::wstring_view text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    std::unique_ptr<void, global_free> block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
    if (!block)
        return false;
    {
        global_lock lock(block.get());
        if (!lock.data())
            return false;
        std::memcpy(lock.data(), text.data(), text.size() * sizeof(wchar_t));
    }
    // With no owner EmptyClipboard leaves none, and Windows then refuses SetClipboardData.
    clipboard_owner owner;
    clipboard_session clipboard(owner.handle());
    if (!owner.handle() || !clipboard.is_open() || !EmptyClipboard())
        return false;
    if (!SetClipboardData(CF_UNICODETEXT, block.get()))
        return false;
    // The clipboard owns the block from here.
    block.release();
    return true;
}

std::optional<std::wstring> text_from_clipboard()
{
    clipboard_session clipboard(nullptr);
    if (!clipboard.is_open())
        return std::nullopt;
    HGLOBAL block = GetClipboardData(CF_UNICODETEXT);
    if (!block)
        return std::nullopt;
    global_lock lock(block);
    if (!lock.data())
        return std::nullopt;
    // The block need not be terminated: never read past its end.
    const size_t units = GlobalSize(block) / sizeof(wchar_t);
    const auto* characters = reinterpret_cast<const wchar_t*>(lock.data());
    size_t length = 0;
    while (length < units && characters[length] != L'\0')
        ++length;
    return std::wstring(characters, length);
}

}  // namespace qzsdk::ui
