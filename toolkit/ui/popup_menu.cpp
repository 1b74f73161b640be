#include "toolkit/ui/popup_menu.h"

#include "toolkit/platform/text.h"

namespace qzsdk::ui {

namespace {

// Menu texts are shown as given (effect names such as "Brightness & Contrast"): a single '&' would be taken
// for a mnemonic marker, vanish and underline the next letter. Wide: the narrow menu API reads UTF-8 in the
// ANSI code page.
std::wstring literal_menu_text(std::string_view text)
{
    std::wstring shown;
    for (wchar_t c : utf8_to_wide(text)) {
        if (c == L'&')
            shown += L'&';
        shown += c;
    }
    return shown;
}

}  // namespace

void popup_menu_deleter::operator()(popup_menu* menu) const
{
    popup_menu::destroy(menu);
}

popup_menu::popup_menu() : menu_(CreatePopupMenu())
{
    items_.reserve(8);
    items_.max_load_factor(1.0f);
}

popup_menu::~popup_menu()
{
    // Every submenu is attached to its parent item as soon as it exists, so it goes with the top menu.
    if (menu_)
        DestroyMenu(menu_);
}

popup_menu_owner popup_menu::create()
{
    return popup_menu_owner(new popup_menu());
}

void popup_menu::destroy(popup_menu* menu)
{
    delete menu;
}

void popup_menu::add_item(uint32_t id, uint32_t parent_id, std::string_view text)
{
    uint32_t command = id + 1;
    uint32_t parent_command = parent_id + 1;
    std::wstring wide = literal_menu_text(text);
    auto parent = items_.find(parent_command);
    if (parent == items_.end()) {
        AppendMenuW(menu_, MF_STRING, command, wide.c_str());
        items_[command] = item{command, 0, nullptr, menu_};
        return;
    }
    if (!parent->second.submenu) {
        HMENU submenu = CreatePopupMenu();
        if (!submenu)
            return;
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_SUBMENU;
        info.hSubMenu = submenu;
        if (!SetMenuItemInfoW(parent->second.holder, parent_command, FALSE, &info)) {
            DestroyMenu(submenu);
            return;
        }
        parent->second.submenu = submenu;
    }
    HMENU submenu = parent->second.submenu;
    AppendMenuW(submenu, MF_STRING, command, wide.c_str());
    items_[command] = item{command, parent_command, nullptr, submenu};
}

void popup_menu::add_separator(uint32_t id, uint32_t parent_id)
{
    uint32_t command = id + 1;
    auto parent = items_.find(parent_id + 1);
    if (parent != items_.end()) {
        if (parent->second.submenu)
            AppendMenuW(parent->second.submenu, MF_SEPARATOR, command, L"");
        return;
    }
    AppendMenuW(menu_, MF_SEPARATOR, command, L"");
    items_[command] = item{command, 0, nullptr, menu_};
}

void popup_menu::set_state(uint32_t id, UINT state)
{
    auto found = items_.find(id + 1);
    if (found == items_.end())
        return;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    info.fState = state;
    SetMenuItemInfoW(found->second.holder, id + 1, FALSE, &info);
}

void popup_menu::set_enabled(uint32_t id, bool enabled)
{
    set_state(id, enabled ? MFS_ENABLED : MFS_DISABLED | MFS_GRAYED);
}

void popup_menu::set_checked(uint32_t id)
{
    set_state(id, MFS_CHECKED);
}

}  // namespace qzsdk::ui
