#pragma once
// The list rows' right-click menus: items given as data, shown at the cursor, the choice answered as an id.
#include "toolkit/ui/window.h"

#include <cstdint>
#include <string>
#include <vector>

struct ContextMenuItem {
    uint32_t id = 0;
    std::string text;
    bool enabled = true;
    bool separator = false;
};

// Runs the menu at the cursor with the window as its owner; the chosen item's id, or 0 for none.
uint32_t ShowContextMenu(qzsdk::ui::window& owner, const std::vector<ContextMenuItem>& items);
