#include "standin/clipboard_state.h"

#include <windows.h>

#include <cstdlib>

namespace standin {

nlohmann::json clipboard_json()
{
    nlohmann::json image;
    if (!OpenClipboard(nullptr))
        return {{"image", image}};
    if (HANDLE data = GetClipboardData(CF_DIB))
        if (const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data))) {
            image = {{"width", header->biWidth}, {"height", std::abs(header->biHeight)}};
            GlobalUnlock(data);
        }
    CloseClipboard();
    return {{"image", image}};
}

bool empty_clipboard()
{
    if (!OpenClipboard(nullptr))
        return false;
    const bool emptied = EmptyClipboard();
    CloseClipboard();
    return emptied;
}

}  // namespace standin
