#pragma once
// One native popup menu with nested submenus, addressed by the caller's item ids. A command is the id + 1,
// so that the 0 of a dismissed menu stays free: callers show the menu with TrackPopupMenuEx and
// TPM_RETURNCMD and subtract 1 from the answer (-1: nothing chosen).
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace qzsdk::ui {

class popup_menu;

struct popup_menu_deleter {
    void operator()(popup_menu* menu) const;
};
using popup_menu_owner = std::unique_ptr<popup_menu, popup_menu_deleter>;

class popup_menu {
public:
    static popup_menu_owner create();
    static void destroy(popup_menu* menu);

    popup_menu(const popup_menu&) = delete;
    popup_menu& operator=(const popup_menu&) = delete;

    // Parent id -1 (all bits set) puts the item at the top level; a known parent gains a submenu. The text
    // is shown as given: '&' marks no mnemonic.
    void add_item(uint32_t id, uint32_t parent_id, std::string_view text);
    // In the submenu of a known parent once it has one (nothing before that), else in the top menu.
    void add_separator(uint32_t id, uint32_t parent_id);
    void set_enabled(uint32_t id, bool enabled);
    void set_checked(uint32_t id);

    HMENU handle() const { return menu_; }

private:
    struct item {
        uint32_t command = 0;
        uint32_t parent_command = 0;
        HMENU submenu = nullptr;
        HMENU holder = nullptr;
    };

    popup_menu();
    ~popup_menu();
    void set_state(uint32_t id, UINT state);

    std::unordered_map<uint32_t, item> items_;
    HMENU menu_ = nullptr;
};

}  // namespace qzsdk::ui
