// The result list: the search into rows, keyboard and mouse selection, and choosing an entry.
#include "popup/effects_popup_window.h"

#include "popup/window_placement.h"
#include "toolkit/ui/event_manager.h"

#include <algorithm>
#include <utility>

using namespace qzsdk::ui;

namespace {

constexpr int32_t header_height = 20;
constexpr int32_t row_height = 30;

// set_bounds repaints a widget even where it already is: a key moves only the parts of the list that move.
void place(widget& part, const rect& bounds)
{
    if (!(part.bounds() == bounds))
        part.set_bounds(bounds);
}

}  // namespace

bool EffectsPopupWindow::AnyShortcut() const
{
    for (const EffectShortcut& slot : lists_.shortcuts)
        if (slot.target)
            return true;
    return false;
}

std::vector<std::string> EffectsPopupWindow::CollectShortcuts() const
{
    std::vector<std::string> labels;
    for (const EffectShortcut& slot : lists_.shortcuts) {
        if (!slot.target)
            break;
        labels.push_back(slot.label);
    }
    return labels;
}

const EffectEntry* EffectsPopupWindow::RowEntry(size_t index) const
{
    const size_t effects = found_.effects.size();
    return index < effects ? found_.effects[index] : found_.presets[index - effects];
}

bool EffectsPopupWindow::RowFromAlias(size_t index) const
{
    const size_t effects = found_.effects.size();
    return index < effects ? index < found_.effects_from_alias : index - effects < found_.presets_from_alias;
}

int32_t EffectsPopupWindow::RowTop(size_t index) const
{
    // One past the last row is the list's end: below the presets header only when there is one.
    const bool preset = index >= found_.effects.size() && !found_.presets.empty();
    return int32_t(index) * row_height + (found_.empty() ? 0 : header_height) + (preset ? header_height : 0);
}

void EffectsPopupWindow::BuildRowPool()
{
    // Enough for the tallest view with a row cut at either edge.
    const size_t pool = size_t(max_list_height_ / row_height) + 3;
    for (size_t k = 0; k < pool; ++k) {
        auto row = std::make_unique<EffectSlot>(this, true);
        row->attach_to_window(&list_panel_, {0, 0, 100, row_height});
        row->set_visible(false);
        connect_member_info(row.get(), event_id::key_down, &EffectsPopupWindow::OnSlotActivated, this);
        connect_member_info(row.get(), event_id::mouse_down, &EffectsPopupWindow::OnSlotActivated, this);
        connect_member_info(row.get(), event_id::mouse_move, &EffectsPopupWindow::OnRowMoved, this);
        connect_member_info(row.get(), event_id::mouse_enter, &EffectsPopupWindow::OnRowCrossed, this);
        connect_member_info(row.get(), event_id::mouse_leave, &EffectsPopupWindow::OnRowCrossed, this);
        rows_.push_back(std::move(row));
    }
    row_shown_.assign(pool, no_row);
    row_fresh_.assign(pool, 0);
    effects_header_.attach_to_window(&list_panel_, {0, 0, 100, header_height});
    presets_header_.attach_to_window(&list_panel_, {0, 0, 100, header_height});
    effects_header_.set_visible(false);
    presets_header_.set_visible(false);
    for (widget* moved : {&list_panel_, static_cast<widget*>(&list_container_)}) {
        connect_member(moved, event_id::moved, &EffectsPopupWindow::ShowRowsInView, this);
        connect_member(moved, event_id::resized, &EffectsPopupWindow::ShowRowsInView, this);
    }
}

void EffectsPopupWindow::UnbindRows()
{
    // A row keeps what it shows until it is bound again, so one that comes to show the same entry at the
    // same place is not repainted.
    std::fill(row_shown_.begin(), row_shown_.end(), no_row);
}

EffectSlot* EffectsPopupWindow::RowWidget(size_t index) const
{
    for (size_t k = 0; k < rows_.size(); ++k)
        if (index != no_row && row_shown_[k] == index)
            return rows_[k].get();
    return nullptr;
}

void EffectsPopupWindow::ShowRowsInView()
{
    // The selected row's own hover and menu handling may have changed its highlight since it was bound.
    if (const EffectSlot* shown = RowWidget(selected_))
        selected_lit_ = shown->highlighted();
    const int32_t view_top = -list_panel_.bounds().y;
    const int32_t view_bottom = view_top + list_container_.bounds().height;
    const int32_t width = list_panel_.bounds().width;
    const size_t count = RowCount();
    place(effects_header_, {0, 0, width, header_height});
    place(presets_header_, {0, RowTop(found_.effects.size()) - header_height, width, header_height});
    std::vector<size_t> wanted(rows_.size(), no_row);
    size_t index = size_t(std::max(0, (view_top - 2 * header_height) / row_height - 1));
    for (; index < count && RowTop(index) < view_bottom; ++index)
        if (RowTop(index) + row_height > view_top)
            wanted[index % rows_.size()] = index;
    for (size_t k = 0; k < rows_.size(); ++k) {
        EffectSlot& row = *rows_[k];
        const size_t shown = wanted[k];
        if (shown == no_row) {
            row_shown_[k] = no_row;
            row.set_visible(false);
            continue;
        }
        if (row_shown_[k] != shown) {
            row_shown_[k] = shown;
            row_fresh_[k] = 1;
            row.show_entry(RowEntry(shown), RowFromAlias(shown), shown == selected_ && selected_lit_);
        }
        place(row, {0, RowTop(shown), width, row_height});
        row.set_visible(true);
    }
}

void EffectsPopupWindow::UpdateSearch()
{
    const std::string typed = search_box_.get_text();
    shortcuts_bar_.set_visible(typed.empty() && AnyShortcut() && has_layer_);

    found_ = search_.run(lists_.aliases, lists_.blacklist, typed);
    selected_ = found_.empty() ? no_row : 0;
    selected_lit_ = true;
    UnbindRows();
    const std::vector<std::string> labels = CollectShortcuts();
    for (auto& row : rows_)
        row->shortcut_labels = labels;

    const EffectsTheme& theme = *current_theme_;
    const bool no_matches = found_.empty() && !typed.empty();
    if (no_matches)
        effects_header_.set_text("No Matches", color{0, 0, 0, 0});
    else
        effects_header_.set_text("Effects", theme.effects_header_accent);
    presets_header_.set_text("Presets", theme.presets_header_accent);
    effects_header_.set_visible(no_matches || !found_.empty());
    presets_header_.set_visible(!found_.presets.empty());

    const int32_t content = found_.empty() ? (no_matches ? header_height : 0) : RowTop(RowCount());
    place(list_panel_, {0, list_panel_.bounds().y, list_panel_.bounds().width, content});
    ShowRowsInView();
    search_box_.invalidate(false);
    // The scroll bar follows the panel and its own size by itself.
    FitToContent();
}

void EffectsPopupWindow::Select(size_t index)
{
    if (EffectSlot* old = RowWidget(selected_))
        old->set_highlight(false);
    selected_ = index;
    selected_lit_ = true;
    if (EffectSlot* row = RowWidget(index))
        row->set_highlight(true);
}

void EffectsPopupWindow::SetSelectedSlot(EffectSlot* slot)
{
    size_t index = no_row;
    for (size_t k = 0; k < rows_.size(); ++k)
        if (rows_[k].get() == slot)
            index = row_shown_[k];
    EffectSlot* old = RowWidget(selected_);
    if (old && old != slot)
        old->set_highlight(false);
    selected_ = index;
    selected_lit_ = slot && slot->highlighted();
}

void EffectsPopupWindow::OnRowMoved(const event_info& info)
{
    for (size_t k = 0; k < rows_.size(); ++k)
        if (rows_[k].get() == info.sender && std::exchange(row_fresh_[k], 0))
            fire_event(rows_[k].get(), event_id::mouse_enter);
}

void EffectsPopupWindow::OnRowCrossed(const event_info& info)
{
    for (size_t k = 0; k < rows_.size(); ++k)
        if (rows_[k].get() == info.sender)
            row_fresh_[k] = 0;
}

void EffectsPopupWindow::ApplySelection()
{
    Choose(selected_ != no_row ? RowEntry(selected_) : nullptr);
}

void EffectsPopupWindow::OnSlotActivated(const event_info& info)
{
    if (info.id == event_id::key_down && info.param != VK_RETURN)
        return;
    if (info.id == event_id::mouse_down && info.param == 2)
        return;
    Choose(static_cast<EffectSlot*>(info.sender)->entry);
}

void EffectsPopupWindow::Choose(const EffectEntry* chosen)
{
    if (chosen)
        fire_event(this, event_id::activated, reinterpret_cast<uint64_t>(ResolveOverride(chosen)));
    Hide();
}

void EffectsPopupWindow::ApplyShortcut(size_t slot)
{
    if (slot < lists_.shortcuts.size() && lists_.shortcuts[slot].target)
        Choose(lists_.shortcuts[slot].target);
}

void EffectsPopupWindow::OnShortcutButton(const event_info& info)
{
    if (info.param != 0)
        return;
    ApplyShortcut(size_t(static_cast<EffectsShorcutButton*>(info.sender)->number() - 1));
}

void EffectsPopupWindow::OnChar()
{
    if (!has_layer_)
        Hide();
}

bool EffectsPopupWindow::preview_input(const input_record& record)
{
    switch (record.id) {
    case event_id::key_down:
        // The character a key makes comes right after its key-down.
        drop_character_ = held_hotkey_ && record.param == held_hotkey_;
        return drop_character_;
    case event_id::key_down_raw:
        return drop_character_;
    case event_id::key_up:
        if (record.param == held_hotkey_)
            held_hotkey_ = 0;
        return false;
    case event_id::char_input: {
        if (std::exchange(drop_character_, false))
            return true;
        // A digit chooses a shortcut slot only while there is no query; within one it is text.
        const uint64_t digit = record.param - '1';
        if (digit >= shortcut_slot_count || !search_box_.get_text().empty() || !has_layer_ ||
            !lists_.shortcuts[digit].target)
            return false;
        ApplyShortcut(size_t(digit));
        return true;
    }
    default:
        return false;
    }
}

void EffectsPopupWindow::OnListKey(const event_info& info)
{
    const size_t count = RowCount();
    if (count == 0)
        return;
    if (selected_ == no_row) {
        scroll_bar_.scroll_to(0, true);
        Select(0);
        return;
    }
    const size_t first_preset = found_.effects.size();
    size_t i = selected_;
    if (info.param == VK_DOWN)
        i = i + 1 < count ? i + 1 : 0;
    else if (info.param == VK_UP)
        i = i > 0 ? i - 1 : count - 1;
    else if (info.param == VK_TAB)
        i = i >= first_preset ? 0 : (found_.presets.empty() ? i : first_preset);
    ScrollRowIntoView(i);
    Select(i);
}

void EffectsPopupWindow::ScrollRowIntoView(size_t index)
{
    const int32_t top = RowTop(index);
    const int32_t view = list_container_.bounds().height;
    const int32_t position = scroll_bar_.position();
    if (top < position)
        scroll_bar_.scroll_to(std::min(top, scroll_bar_.range()), true);
    else if (top + row_height > position + view)
        scroll_bar_.scroll_to(std::min(top + row_height - view, scroll_bar_.range()), true);
}

void EffectsPopupWindow::FitToContent()
{
    ResizeToList(LayOutList());
}

int32_t EffectsPopupWindow::LayOutList()
{
    const int32_t list_height = std::min(max_list_height_, list_panel_.bounds().height);
    const int32_t w = bounds_units_.width;
    int32_t height = top_area_.height + (list_height >= 1 ? 1 : 0) + list_height;
    if (!shortcuts_bar_.is_visible(false) && AnyShortcut() && has_layer_ && top_area_.height > 45)
        height -= 35;
    const bool scrolls = list_panel_.bounds().height > list_height;
    const int32_t list_top = height - list_height - (list_height >= 1 ? 1 : 0);
    place(list_container_, {1, list_top, scrolls ? w - 20 : w - 2, list_height});
    place(list_panel_, {0, list_panel_.bounds().y, list_container_.bounds().width, list_panel_.bounds().height});
    place(scroll_bar_, {w - 18, list_top + 1, 16, std::max(0, list_height - 2)});
    scroll_bar_.set_visible(scrolls);
    // The separator under the search box takes the list's colour while the box holds text over a list.
    const bool line = !search_box_.get_text().empty() && list_height > 20;
    if (std::exchange(list_line_shown_, line) != line)
        root().invalidate_part({0, 44, w, 1});
    return height;
}

void EffectsPopupWindow::ResizeToList(int32_t height)
{
    bounds_units_.height = height;
    // A native resize costs a good part of a frame and forces a full repaint: only a new size is set.
    const rect client = get_client_rect();
    if (client.width == bounds_units_.width && client.height == height)
        return;
    place_window_units(*this, {client.x * 96 / holder().dpi_x(), client.y * 96 / holder().dpi_y(),
                               bounds_units_.width, height});
    keep_on_monitor(handle());
}
