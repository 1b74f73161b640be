#include "standin/open_menu.h"

#include "standin/module_windows.h"

namespace standin {

namespace {

BOOL CALLBACK collect_menu(HWND window, LPARAM found)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && window_class(window) == L"#32768")
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

HMENU menu_of(HWND menu_window)
{
    DWORD_PTR menu = 0;
    SendMessageTimeoutW(menu_window, MN_GETHMENU, 0, 0, SMTO_NORMAL, 1000, &menu);
    return reinterpret_cast<HMENU>(menu);
}

}  // namespace

std::vector<HWND> open_menu_windows()
{
    std::vector<HWND> found;
    EnumWindows(&collect_menu, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring menu_item_text(HMENU menu, int index)
{
    wchar_t buffer[512] = {};
    int length = GetMenuStringW(menu, static_cast<UINT>(index), buffer, 512, MF_BYPOSITION);
    std::wstring text;
    for (int i = 0; i < length && buffer[i] != L'\t'; ++i) {
        // "&&" is a literal ampersand; a single one marks the access key.
        if (buffer[i] == L'&') {
            if (i + 1 >= length || buffer[i + 1] != L'&')
                continue;
            ++i;
        }
        text += buffer[i];
    }
    return text;
}

std::optional<RECT> menu_item_rect(HWND menu_window, const std::wstring& text)
{
    HMENU menu = menu_of(menu_window);
    for (int index = 0; menu && index < GetMenuItemCount(menu); ++index) {
        RECT rect{};
        if (menu_item_text(menu, index) == text &&
            !(GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) &&
            GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &rect))
            return rect;
    }
    return std::nullopt;
}

bool menu_item_lit(HWND menu_window, const std::wstring& text)
{
    HMENU menu = menu_of(menu_window);
    for (int index = 0; menu && index < GetMenuItemCount(menu); ++index)
        if (menu_item_text(menu, index) == text)
            return GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION) & MF_HILITE;
    return false;
}

std::vector<std::wstring> menu_item_texts(HWND menu_window)
{
    std::vector<std::wstring> texts;
    HMENU menu = menu_of(menu_window);
    for (int index = 0; menu && index < GetMenuItemCount(menu); ++index)
        if (std::wstring text = menu_item_text(menu, index); !text.empty())
            texts.push_back(text);
    return texts;
}

}  // namespace standin
