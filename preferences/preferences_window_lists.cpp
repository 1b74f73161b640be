// The preferences window's half that edits its lists on the rows' behalf: row clicks, row buttons, the add
// rows, the effect pickers and the three context menus.
#include "preferences/preferences_window.h"

#include "popup/effects_popup_window.h"
#include "preferences/popup_placement.h"
#include "preferences/preferences_context_menu.h"
#include "preferences/preferences_edit_effect_popup.h"
#include "preferences/preferences_list_editing.h"
#include "toolkit/ui/event_id.h"

using qzsdk::ui::event_info;
using qzsdk::ui::event_id::command;
using qzsdk::ui::event_id::mouse_up;

namespace {

constexpr uint64_t left_button = 0;
constexpr uint64_t right_button = 2;

enum RowCommand : uint64_t { remove_record = 1, clear_label = 2, clear_override = 3 };

// Item ids of the three menus.
enum MenuItem : uint32_t {
    menu_title = 1,
    menu_separator = 2,
    menu_edit = 3,
    menu_clear = 4,
    menu_add_alias = 5,
    menu_edit_alias = 6,
    menu_clear_override = 7,
};

std::vector<ContextMenuItem> TitledMenu(const EffectEntry& target)
{
    return {{menu_title, target.name, false}, {menu_separator, {}, true, true}};
}

}  // namespace

bool PreferencesWindow::OnListEvent(const event_info& info)
{
    if (auto* row = dynamic_cast<PreferencesEffectSlot*>(info.sender)) {
        if (row->panel() == shortcuts_panel_.get())
            return OnShortcutEvent(*row, info);
        if (row->panel() == favourites_panel_.get())
            return OnFavoriteEvent(*row, info);
        if (row->panel() == blacklist_panel_.get())
            return OnBlacklistEvent(*row, info);
        return false;
    }
    if (auto* add_row = dynamic_cast<PreferencesEffectNew*>(info.sender))
        return OnNewEntryEvent(*add_row, info);
    return false;
}

bool PreferencesWindow::PickEffect(const std::string& title, const std::string& effect_name,
                                   const std::string& label, uint64_t slot_index, bool presets_only,
                                   EditEffectResult& answer)
{
    PreferencesEditEffectPopup picker(this, title, effect_name, label, &popup_.entries(), &lists_.aliases,
                                      &lists_.blacklist, slot_index, current_theme_, presets_only);
    CenterAboveOwner(picker);
    if (picker.show_modal() != 1)
        return false;
    answer = picker.GetResult();
    return true;
}

bool PreferencesWindow::OnShortcutEvent(PreferencesEffectSlot& row, const event_info& info)
{
    const size_t slot = row.index();
    if (slot >= lists_.shortcuts.size())
        return false;
    if (info.id == command) {
        if (info.param != remove_record)
            return false;
        ClearShortcutSlot(slot);
        return true;
    }
    if (info.id != mouse_up)
        return false;
    if (info.param == left_button)
        return EditShortcut(slot);
    if (info.param != right_button)
        return false;
    const EffectShortcut& shortcut = lists_.shortcuts[slot];
    std::vector<ContextMenuItem> items;
    if (shortcut.target)
        items = TitledMenu(*shortcut.target);
    items.push_back({menu_edit, shortcut.target ? "Edit Label" : "New Shortcut"});
    items.push_back({menu_clear, "Clear"});
    uint32_t chosen = ShowContextMenu(*this, items);
    if (chosen == menu_edit)
        return EditShortcut(slot);
    if (chosen == menu_clear) {
        ClearShortcutSlot(slot);
        return true;
    }
    return false;
}

bool PreferencesWindow::EditShortcut(size_t slot)
{
    const EffectShortcut& shortcut = lists_.shortcuts[slot];
    // A label of its own is edited alone; an empty slot, or one whose label only repeats the effect's match
    // name, picks an effect.
    std::string label = shortcut_records_.own_text(slot);
    std::string name = shortcut.target ? shortcut.target->name : std::string();
    EditEffectResult answer;
    if (!PickEffect("Set Shortcut", name, label, slot, false, answer))
        return false;
    if (SetShortcut(lists_.shortcuts, answer))
        shortcuts_panel_->Rebuild();
    return true;
}

void PreferencesWindow::ClearShortcutSlot(size_t slot)
{
    if (ClearShortcut(lists_.shortcuts, slot))
        shortcuts_panel_->Rebuild();
}

bool PreferencesWindow::OnFavoriteEvent(PreferencesEffectSlot& row, const event_info& info)
{
    const size_t r = row.index();
    if (r >= lists_.aliases.size())
        return false;
    EffectAlias& record = lists_.aliases[r];
    if (info.id == command) {
        if (info.param == remove_record) {
            favourites_panel_->RemoveRow(&row);
            return true;
        }
        if ((info.param == clear_label && ClearAlias(record)) ||
            (info.param == clear_override && ClearOverride(record)))
            row.invalidate(false);
        return false;
    }
    if (info.id != mouse_up || !record.target)
        return false;
    if (info.param == left_button) {
        const int32_t x = qzsdk::ui::cursor_position(&row).x;
        if (row.columns().override_column && x > row.bounds().width - 152) {
            EditEffectResult answer;
            if (PickEffect("Set Override", {}, {}, r, true, answer) && SetOverride(lists_.aliases, answer))
                row.invalidate(false);
        } else {
            row.EditAlias();
        }
        return false;
    }
    if (info.param != right_button)
        return false;
    std::vector<ContextMenuItem> items = TitledMenu(*record.target);
    items.push_back({menu_edit, "Remove Favorite"});
    if (record.text == record.target->match_name) {
        items.push_back({menu_add_alias, "Add Alias"});
    } else {
        items.push_back({menu_edit_alias, "Edit Alias"});
        items.push_back({menu_clear, "Clear Alias"});
    }
    if (record.override_target)
        items.push_back({menu_clear_override, "Clear Override"});
    switch (ShowContextMenu(*this, items)) {
    case menu_edit:
        favourites_panel_->RemoveRow(&row);
        return true;
    case menu_clear:
        ClearAlias(record);
        break;
    case menu_add_alias:
    case menu_edit_alias:
        row.EditAlias();
        break;
    case menu_clear_override:
        ClearOverride(record);
        break;
    default:
        break;
    }
    return false;
}

bool PreferencesWindow::OnBlacklistEvent(PreferencesEffectSlot& row, const event_info& info)
{
    const size_t r = row.index();
    if (r >= lists_.blacklist.size())
        return false;
    bool remove = info.id == command && info.param == remove_record;
    if (info.id == mouse_up && info.param == right_button && lists_.blacklist[r].target) {
        std::vector<ContextMenuItem> items = TitledMenu(*lists_.blacklist[r].target);
        items.push_back({menu_edit, "Remove"});
        remove = ShowContextMenu(*this, items) == menu_edit;
    }
    if (remove)
        blacklist_panel_->RemoveRow(&row);
    return remove;
}

bool PreferencesWindow::OnNewEntryEvent(PreferencesEffectNew& add_row, const event_info& info)
{
    if (info.id != mouse_up || info.param != left_button)
        return false;
    PreferencesEffectsScrollPanel* panel = add_row.panel();
    std::vector<EffectAlias>* list = panel == favourites_panel_.get() ? &lists_.aliases
                                     : panel == blacklist_panel_.get() ? &lists_.blacklist
                                                                       : nullptr;
    EditEffectResult answer;
    if (!list || !PickEffect("Add New Effect", {}, {}, UINT64_MAX, false, answer))
        return false;
    if (AppendEntry(*list, answer))
        panel->Rebuild();
    return true;
}
