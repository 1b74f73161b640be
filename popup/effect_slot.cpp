#include "popup/effect_slot.h"

#include "popup/effects_popup_interface.h"
#include "popup/ellipsised_text.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/popup_menu.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

#include <string>

using namespace qzsdk::ui;

namespace {

constexpr uint32_t top_level = 0xFFFFFFFFu;

}  // namespace

EffectSlot::EffectSlot(EffectsPopupInterface* owner, bool menu_enabled) : owner_(owner), menu_enabled_(menu_enabled)
{
    name = "EffectSlot";
    connect_member(this, event_id::paint, &EffectSlot::OnPaint, this);
    connect_member_info(this, event_id::mouse_enter, &EffectSlot::OnHover, this);
    connect_member_info(this, event_id::mouse_leave, &EffectSlot::OnHover, this);
    connect_member_info(this, event_id::mouse_up, &EffectSlot::OnMouseUp, this);
}

void EffectSlot::set_highlight(bool on)
{
    if (highlight_ == on)
        return;
    highlight_ = on;
    invalidate(false);
}

void EffectSlot::show_entry(const EffectEntry* shown, bool from_alias, bool highlight)
{
    came_from_alias = from_alias;
    if (shown == entry && highlight == highlight_)
        return;
    entry = shown;
    highlight_ = highlight;
    invalidate(false);
}

void EffectSlot::OnPaint()
{
    renderer* r = renderer_of(*this);
    if (!r || !entry)
        return;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    if (highlight_ || menu_open_) {
        r->set_fill_color(entry->is_preset ? color{0.753f, 0.09f, 0.082f, 1.0f} : color{0.0f, 0.443f, 0.737f, 1.0f});
        r->set_text_color({1, 1, 1, 1});
    } else {
        r->set_fill_color(properties.get_color("default_back_color"));
        r->set_text_color(row_text_color);
    }
    r->fill_rect({0, 0, w, h});
    const rect text_box{42, 2, w - 4, h - 4};
    // A row cut to a sliver at the list's edge shows none of its name; text is the dearest part of a paint.
    const rect shown = visible_area();
    const int32_t shown_top = shown.y - window_position().y;
    if (shown_top >= text_box.y + text_box.height || shown_top + shown.height <= text_box.y)
        return;
    r->set_font("Arial", 14.0f, 0, 0);
    r->set_alignment(text_align::leading, paragraph_align::center);
    // One line, however long the name: a wrapped one would not fit the row.
    r->draw_text(text_box, ellipsised_text(*r, entry->name, w - 4 - 42));
}

void EffectSlot::OnHover(const event_info& info)
{
    highlight_ = info.id == event_id::mouse_enter;
    invalidate(false);
    if (highlight_ && owner_)
        owner_->SetSelectedSlot(this);
}

int32_t EffectSlot::TrackMenu()
{
    popup_menu_owner menu = popup_menu::create();
    menu->add_item(effect_slot_menu::title, top_level, entry->name);
    menu->set_enabled(effect_slot_menu::title, false);
    menu->add_separator(effect_slot_menu::separator, top_level);
    if (!came_from_alias)
        menu->add_item(effect_slot_menu::add_to_favorites, top_level, "Add to Favorites");
    if (shortcut_labels.size() < shortcut_slot_count)
        menu->add_item(effect_slot_menu::create_shortcut, top_level, "Create Shortcut");
    if (!shortcut_labels.empty()) {
        menu->add_item(effect_slot_menu::replace_shortcut, top_level, "Replace Shortcut");
        for (size_t i = 0; i < shortcut_labels.size() && i < shortcut_slot_count; ++i)
            menu->add_item(effect_slot_menu::first_replace_item + uint32_t(i), effect_slot_menu::replace_shortcut,
                           std::to_string(i + 1) + ". " + shortcut_labels[i]);
    }
    menu->add_item(effect_slot_menu::blacklist, top_level, "Blacklist");

    POINT cursor{};
    GetCursorPos(&cursor);
    HWND parent = owner_window() ? owner_window()->handle() : nullptr;
    const int32_t command = int32_t(TrackPopupMenuEx(menu->handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x,
                                                     cursor.y, parent, nullptr));
    return command - 1;
}

void EffectSlot::OnMouseUp(const event_info& info)
{
    if (info.param != 2 || !menu_enabled_ || !entry || !owner_)
        return;
    menu_open_ = true;
    invalidate(false);
    const int32_t choice = TrackMenu();
    menu_open_ = false;
    const point inside = cursor_position(this);
    highlight_ = inside.x >= 1 && inside.y >= 1 && inside.x < bounds().width && inside.y < bounds().height;
    invalidate(false);

    // Each of these may rebuild the list and so destroy this row: nothing of it is touched afterwards.
    EffectsPopupInterface* owner = owner_;
    const EffectEntry* chosen = entry;
    if (choice == int32_t(effect_slot_menu::add_to_favorites))
        owner->AddToList(chosen, false);
    else if (choice == int32_t(effect_slot_menu::blacklist))
        owner->AddToList(chosen, true);
    else if (choice == int32_t(effect_slot_menu::create_shortcut))
        owner->CreateShortcut(chosen);
    else if (choice >= int32_t(effect_slot_menu::first_replace_item) &&
             choice < int32_t(effect_slot_menu::first_replace_item + shortcut_slot_count))
        owner->ReplaceShortcut(chosen, uint64_t(choice) - effect_slot_menu::first_replace_item);
}
