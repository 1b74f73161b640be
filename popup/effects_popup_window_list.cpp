// The result list: the search into rows, keyboard and mouse selection, and choosing an entry.
#include "popup/effects_popup_window.h"

#include "popup/window_placement.h"
#include "toolkit/ui/event_manager.h"

#include <algorithm>

using namespace qzsdk::ui;

namespace {

constexpr int32_t header_height = 20;
constexpr uint32_t retire_message = 1;

}  // namespace

void EffectsPopupWindow::RetireRows()
{
    selected_slot_ = nullptr;
    auto retire = [this](std::unique_ptr<widget> gone) {
        gone->set_visible(false);
        if (gone->parent())
            gone->parent()->remove_child(gone.get());
        retired_.push_back(std::move(gone));
    };
    for (auto& row : rows_)
        retire(std::move(row));
    rows_.clear();
    if (effects_header_)
        retire(std::move(effects_header_));
    if (presets_header_)
        retire(std::move(presets_header_));
    if (!retired_.empty() && handle())
        PostMessageW(handle(), WM_USER, 0, retire_message);
}

void EffectsPopupWindow::on_user_message(uint32_t value)
{
    if (value == retire_message)
        retired_.clear();
}

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

void EffectsPopupWindow::UpdateSearch()
{
    const std::string typed = search_box_.get_text();
    shortcuts_bar_.set_visible(typed.empty() && AnyShortcut() && has_layer_);

    RetireRows();
    rows_.reserve(entries_.size());
    const SearchResult found = search_.run(lists_.aliases, lists_.blacklist, typed);
    result_ = result_lines(found, typed);
    const std::vector<std::string> labels = CollectShortcuts();
    const EffectsTheme& theme = *current_theme_;

    auto add_header = [&](std::string_view text, const color& accent) {
        auto header = std::make_unique<HeaderSlot>(text, accent);
        header->text_color = theme.header_text_color;
        header->properties.set_color("default_back_color", theme.header_back_color);
        header->attach_to_window(&list_panel_, {0, 0, 100, 20});
        return header;
    };
    for (const ResultLine& line : result_) {
        switch (line.kind) {
        case ResultLine::Kind::effects_header:
            effects_header_ = add_header("Effects", theme.effects_header_accent);
            break;
        case ResultLine::Kind::presets_header:
            presets_header_ = add_header("Presets", theme.presets_header_accent);
            break;
        case ResultLine::Kind::no_matches_header:
            effects_header_ = add_header("No Matches", color{0, 0, 0, 0});
            break;
        case ResultLine::Kind::row: {
            auto row = std::make_unique<EffectSlot>(this, true);
            row->entry = line.entry;
            row->came_from_alias = line.came_from_alias;
            row->shortcut_labels = labels;
            row->row_text_color = theme.row_text_color;
            row->row_second_color = theme.row_second_color;
            row->properties.set_color("default_back_color", theme.row_back_color);
            row->attach_to_window(&list_panel_, {0, 0, 100, 30});
            if (rows_.empty()) {
                row->set_highlight(true);
                selected_slot_ = row.get();
            }
            connect_member_info(row.get(), event_id::key_down, &EffectsPopupWindow::OnSlotActivated, this);
            connect_member_info(row.get(), event_id::mouse_down, &EffectsPopupWindow::OnSlotActivated, this);
            rows_.push_back(std::move(row));
            break;
        }
        }
    }
    list_panel_.update_layout();
    search_box_.invalidate(false);
    FitToContent();
    root().invalidate(false);
    scroll_bar_.layout();
}

void EffectsPopupWindow::ApplySelection()
{
    Choose(selected_slot_ ? selected_slot_->entry : nullptr);
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

void EffectsPopupWindow::OnChar(const event_info& info)
{
    if (info.param >= '1' && info.param <= '9')
        ApplyShortcut(size_t(info.param - '1'));
    if (!has_layer_)
        Hide();
}

void EffectsPopupWindow::OnListKey(const event_info& info)
{
    if (rows_.empty())
        return;
    if (!selected_slot_) {
        selected_slot_ = rows_.front().get();
        selected_slot_->set_highlight(true);
        scroll_bar_.scroll_to(0, true);
        return;
    }
    selected_slot_->set_highlight(false);
    size_t i = 0;
    while (i < rows_.size() && rows_[i].get() != selected_slot_)
        ++i;
    if (i == rows_.size())
        i = 0;
    if (info.param == VK_DOWN) {
        i = i + 1 < rows_.size() ? i + 1 : 0;
    } else if (info.param == VK_UP) {
        i = i > 0 ? i - 1 : rows_.size() - 1;
    } else if (info.param == VK_TAB) {
        if (rows_[i]->entry->is_preset) {
            i = 0;
        } else {
            for (size_t p = 0; p < rows_.size(); ++p) {
                if (rows_[p]->entry->is_preset) {
                    i = p;
                    break;
                }
            }
        }
    }
    ScrollRowIntoView(i);
    selected_slot_ = rows_[i].get();
    selected_slot_->set_highlight(true);
}

void EffectsPopupWindow::ScrollRowIntoView(size_t index)
{
    const EffectSlot& row = *rows_[index];
    int32_t top = int32_t(index) * row.bounds().height;
    if (effects_header_)
        top += header_height;
    if (presets_header_ && row.entry->is_preset)
        top += header_height;
    const int32_t view = list_container_.bounds().height;
    const int32_t position = scroll_bar_.position();
    if (top < position)
        scroll_bar_.scroll_to(std::min(top, scroll_bar_.range()), true);
    else if (top + row.bounds().height > position + view)
        scroll_bar_.scroll_to(std::min(top + row.bounds().height - view, scroll_bar_.range()), true);
}

void EffectsPopupWindow::FitToContent()
{
    const int32_t list_height = std::min(max_list_height_, list_panel_.bounds().height);
    const int32_t w = bounds_units_.width;
    int32_t height = top_area_.height + (list_height >= 1 ? 1 : 0) + list_height;
    if (!shortcuts_bar_.is_visible(false) && AnyShortcut() && has_layer_ && top_area_.height > 45)
        height -= 35;
    const bool scrolls = list_panel_.bounds().height > list_height;
    const int32_t list_top = height - list_height - (list_height >= 1 ? 1 : 0);
    list_container_.set_bounds({1, list_top, scrolls ? w - 20 : w - 2, list_height});
    list_panel_.set_bounds({0, list_panel_.bounds().y, list_container_.bounds().width, list_panel_.bounds().height});
    scroll_bar_.set_bounds({w - 18, list_top + 1, 16, std::max(0, list_height - 2)});
    scroll_bar_.set_visible(scrolls);
    bounds_units_.height = height;
    const rect client = get_client_rect();
    place_window_units(*this, {client.x * 96 / holder().dpi_x(), client.y * 96 / holder().dpi_y(), w, height});
    keep_on_monitor(handle());
}
