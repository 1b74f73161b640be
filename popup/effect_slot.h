#pragma once
// One result row: the entry's name, a highlight shared by hover and keyboard, and a context menu that
// hands the entry to the list's owner.
#include "popup/effect_entry.h"
#include "toolkit/ui/color.h"
#include "toolkit/ui/event_info.h"
#include "toolkit/ui/widget.h"

#include <string>
#include <vector>

class EffectsPopupInterface;

// Context menu item ids; a "Replace Shortcut" item is the first plus the slot index.
namespace effect_slot_menu {
constexpr uint32_t title = 1;
constexpr uint32_t separator = 2;
constexpr uint32_t add_to_favorites = 3;
constexpr uint32_t blacklist = 4;
constexpr uint32_t create_shortcut = 5;
constexpr uint32_t replace_shortcut = 6;
constexpr uint32_t first_replace_item = 61;
}  // namespace effect_slot_menu

class EffectSlot : public qzsdk::ui::widget {
public:
    EffectSlot(EffectsPopupInterface* owner, bool menu_enabled);

    const EffectEntry* entry = nullptr;
    bool came_from_alias = false;
    // Labels of the filled shortcut slots before the first empty one.
    std::vector<std::string> shortcut_labels;
    qzsdk::ui::color row_text_color;
    qzsdk::ui::color row_second_color;

    bool highlighted() const { return highlight_; }
    // Both repaint the row only when what it shows changes.
    void set_highlight(bool on);
    void show_entry(const EffectEntry* shown, bool from_alias, bool highlight);
    bool menu_open() const { return menu_open_; }

private:
    void OnPaint();
    void OnHover(const qzsdk::ui::event_info& info);
    void OnMouseUp(const qzsdk::ui::event_info& info);
    // The menu's answer as an item id, or -1.
    int32_t TrackMenu();

    EffectsPopupInterface* owner_;
    bool menu_enabled_;
    bool highlight_ = false;
    bool menu_open_ = false;
};
