#include "toolkit/ui/file_drop_block.h"

#include <shlobj.h>

#include <cstring>

#include "toolkit/ui/clipboard_session.h"

namespace qzsdk::ui {

HGLOBAL make_file_drop_block(const std::vector<path>& files)
{
    // The names follow the header, each ending in a zero, the list in a second zero.
    size_t units = 1;
    for (const path& file : files)
        units += file.wide().size() + 1;
    const size_t bytes = sizeof(DROPFILES) + units * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!block)
        return nullptr;
    global_lock lock(block);
    if (!lock.data()) {
        GlobalFree(block);
        return nullptr;
    }
    auto* header = reinterpret_cast<DROPFILES*>(lock.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(lock.data() + sizeof(DROPFILES));
    for (const path& file : files) {
        std::memcpy(names, file.c_str(), file.wide().size() * sizeof(wchar_t));
        names += file.wide().size() + 1;
    }
    return block;
}

}  // namespace qzsdk::ui
