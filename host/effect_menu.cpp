#include "host/effect_menu.h"

#include "toolkit/platform/text.h"

namespace {

constexpr int effect_menu_position = 4;

struct MenuItem {
    UINT state;
    UINT id;
    HMENU submenu;
};

std::optional<MenuItem> find_item(HMENU menu, std::string_view utf8_text)
{
    int position = FindMenuItem(menu, EscapeMenuAmpersands(qzsdk::utf8_to_wide(utf8_text)));
    if (position < 0)
        return std::nullopt;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info))
        return std::nullopt;
    return MenuItem{info.fState, info.wID, info.hSubMenu};
}

}  // namespace

int FindMenuItem(HMENU menu, const std::wstring& text)
{
    if (!menu)
        return -1;
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t item_text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(position), item_text, static_cast<int>(std::size(item_text)),
                       MF_BYPOSITION);
        if (text == item_text)
            return position;
    }
    return -1;
}

std::wstring EscapeMenuAmpersands(std::wstring_view text)
{
    std::wstring escaped;
    escaped.reserve(text.size());
    for (wchar_t c : text) {
        escaped += c;
        if (c == L'&')
            escaped += L'&';
    }
    return escaped;
}

std::optional<UINT> FindEffectCommand(HWND main_window, std::string_view utf8_category, std::string_view utf8_name)
{
    HMENU bar = GetMenu(main_window);
    if (!bar || GetMenuItemCount(bar) <= effect_menu_position)
        return std::nullopt;
    // A disabled item reads as a non-zero state under Wine too, whatever its exact bits.
    auto category = find_item(GetSubMenu(bar, effect_menu_position), utf8_category);
    if (!category || category->state != 0 || !category->submenu)
        return std::nullopt;
    auto effect = find_item(category->submenu, utf8_name);
    if (!effect || effect->state != 0)
        return std::nullopt;
    return effect->id;
}
