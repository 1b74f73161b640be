#include "preferences/preferences_edit_effect_popup.h"

#include "popup/shortcut_label.h"
#include "popup/window_placement.h"
#include "preferences/popup_style.h"
#include "toolkit/platform/text.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/image_strip.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/widget_painting.h"

#include <algorithm>

using namespace qzsdk::ui;

namespace {

constexpr int32_t popup_width = 300;
constexpr int32_t max_list_height = 300;
constexpr int32_t header_height = 20;
constexpr int32_t row_height = 30;

}  // namespace

PreferencesEditEffectPopup::PreferencesEditEffectPopup(window* owner, const std::string& title,
                                                       const std::string& effect_name, const std::string& initial_label,
                                                       const std::vector<EffectEntry>* entries,
                                                       const std::vector<EffectAlias>* aliases,
                                                       const std::vector<EffectAlias>* blacklist, uint64_t slot_index,
                                                       const EffectsTheme* theme, bool presets_only)
    : theme_(theme),
      entries_(entries),
      aliases_(aliases),
      blacklist_(blacklist),
      slot_index_(slot_index),
      search_mode_(initial_label.empty()),
      presets_only_(presets_only)
{
    result_.slot_index = slot_index;
    search_.set_entries(*entries_);
    set_owner(owner);
    create(search_mode_ ? title : "Set Label for " + effect_name, rect{0, 0, popup_width, 75}, 0);
    connect_member(&root(), event_id::paint, &PreferencesEditEffectPopup::OnPaint, this);
    const int32_t w = popup_width;
    auto& events = event_manager::instance();
    auto result = [this](const event_info& info) { OnResult(info); };

    StylePopupInput(search_input);
    search_input.attach_to_window(&root(), rect{40, 10, w - 110, 25});
    StylePopupInput(label_input);
    label_input.inside.max_length = 3;
    label_input.attach_to_window(&root(), rect{w - 60, 10, 50, 25});
    label_input.inside.set_text(initial_label);
    events.connect(&label_input, this, event_id::activated, result);
    events.connect(&label_input, this, event_id::cancelled, result);
    if (search_mode_) {
        connect_member(&search_input, event_id::value_changed, &PreferencesEditEffectPopup::UpdateSearch, this);
        events.connect(&search_input, this, event_id::activated, [this](const event_info&) { AcceptSelection(); });
        events.connect(&search_input, this, event_id::cancelled, result);
        connect_member_info(&search_input.inside, event_id::key_down, &PreferencesEditEffectPopup::OnArrowKey, this);
        set_focus_widget(&search_input, 2);
    } else {
        search_input.inside.set_text(effect_name);
        search_input.set_enabled(false);
        search_input.set_visible(false);
        set_focus_widget(&label_input, 2);
        label_input.inside.select_all();
        label_input.inside.scroll_to_caret();
    }

    AddOkCancelButtons(*this, ok_button, cancel_button, w, 45, result);

    list_panel_.attach_to_window(&root(), rect{10, 45, w - 36, max_list_height});
    list_content_.attach_to_window(&list_panel_, rect{0, 0, list_panel_.bounds().width, header_height});
    list_scroll_bar_.attach_to_window(&root(), rect{w - 26, 45, 16, max_list_height});
    list_scroll_bar_.set_target(&list_content_);
    ApplyTheme(theme);
    FitToContent();
}

PreferencesEditEffectPopup::~PreferencesEditEffectPopup()
{
    selected_slot_ = nullptr;
    rows_.clear();
    effects_header_.reset();
    presets_header_.reset();
}

void PreferencesEditEffectPopup::ApplyTheme(const EffectsTheme* theme)
{
    theme_ = theme;
    if (!theme_)
        return;
    root().properties.set_color("default_back_color", theme_->dialog_back_color);
    ThemePopupInput(search_input, *theme_, color{0, 0, 0, 0}, "Fx");
    ThemePopupInput(label_input, *theme_, theme_->input_back_color, "Label");
    ThemePopupButton(ok_button, *theme_);
    ThemePopupButton(cancel_button, *theme_);
    list_panel_.properties.set_color("default_back_color", theme_->list_back_color);
    list_content_.properties.set_color("default_back_color", theme_->list_back_color);
    list_scroll_bar_.ApplyTheme(theme_);
    search_icon_.reset();
    root().invalidate(false);
}

void PreferencesEditEffectPopup::SetSelectedSlot(EffectSlot* slot)
{
    if (selected_slot_ && selected_slot_ != slot) {
        selected_slot_->set_highlight(false);
    }
    selected_slot_ = slot;
}

void PreferencesEditEffectPopup::UpdateSearch()
{
    selected_slot_ = nullptr;
    // Only typing runs a search, never a row's own handler, so the old rows can go at once.
    rows_.clear();
    effects_header_.reset();
    presets_header_.reset();
    const std::string typed = qzsdk::to_lower(search_input.get_text());
    SearchResult found = search_.run(*aliases_, *blacklist_, typed);
    if (presets_only_) {
        found.effects.clear();
        found.effects_from_alias = 0;
    }
    const EffectsTheme& theme = *theme_;
    auto add_header = [&](std::string_view text, const color& accent) {
        auto header = std::make_unique<HeaderSlot>(text, accent);
        header->text_color = theme.header_text_color;
        header->properties.set_color("default_back_color", theme.header_back_color);
        header->attach_to_window(&list_content_, rect{0, 0, 100, header_height});
        return header;
    };
    rows_.reserve(entries_->size());
    for (const ResultLine& line : result_lines(found, typed)) {
        if (line.kind == ResultLine::Kind::effects_header) {
            effects_header_ = add_header("Effects", theme.effects_header_accent);
        } else if (line.kind == ResultLine::Kind::presets_header) {
            presets_header_ = add_header("Presets", theme.presets_header_accent);
        } else if (line.kind == ResultLine::Kind::no_matches_header) {
            effects_header_ = add_header("No Matches", color{0, 0, 0, 0});
        } else {
            auto row = std::make_unique<EffectSlot>(this, true);
            row->entry = line.entry;
            row->came_from_alias = line.came_from_alias;
            row->row_text_color = theme.row_text_color;
            row->row_second_color = theme.row_second_color;
            row->properties.set_color("default_back_color", theme.row_back_color);
            row->attach_to_window(&list_content_, rect{0, 0, 100, row_height});
            connect_member_info(row.get(), event_id::key_down, &PreferencesEditEffectPopup::OnRowEvent, this);
            connect_member_info(row.get(), event_id::mouse_up, &PreferencesEditEffectPopup::OnRowEvent, this);
            if (rows_.empty()) {
                row->set_highlight(true);
                selected_slot_ = row.get();
            }
            rows_.push_back(std::move(row));
        }
    }
    list_content_.update_layout();
    search_input.invalidate(false);
    FitToContent();
    root().invalidate(false);
    list_scroll_bar_.scroll_to(0, true);
}

void PreferencesEditEffectPopup::OnRowEvent(const event_info& info)
{
    if (info.id == event_id::key_down && info.param != VK_RETURN)
        return;
    if (info.id == event_id::mouse_up && info.param == 2)
        return;
    SetSelectedSlot(static_cast<EffectSlot*>(info.sender));
    AcceptSelection();
}

void PreferencesEditEffectPopup::AcceptSelection()
{
    if (!selected_slot_ || !selected_slot_->entry)
        return;
    const EffectEntry* entry = selected_slot_->entry;
    result_ = EditEffectResult{slot_index_, entry, shortcut_label(entry->name), 0};
    end_modal(1);
}

void PreferencesEditEffectPopup::OnResult(const event_info& info)
{
    if (info.id == event_id::activated && info.sender != &cancel_button) {
        result_ = EditEffectResult{slot_index_, nullptr, label_input.get_text(), 1};
        end_modal(1);
    } else {
        end_modal(0);
    }
}

void PreferencesEditEffectPopup::OnArrowKey(const event_info& info)
{
    if (rows_.empty())
        return;
    size_t i = 0;
    if (selected_slot_) {
        selected_slot_->set_highlight(false);
        while (i < rows_.size() && rows_[i].get() != selected_slot_)
            ++i;
        if (i == rows_.size())
            i = 0;
        if (info.param == VK_DOWN)
            i = i + 1 < rows_.size() ? i + 1 : 0;
        else if (info.param == VK_UP)
            i = i > 0 ? i - 1 : rows_.size() - 1;
        ScrollRowIntoView(i);
    } else {
        list_scroll_bar_.scroll_to(0, true);
    }
    selected_slot_ = rows_[i].get();
    selected_slot_->set_highlight(true);
}

void PreferencesEditEffectPopup::ScrollRowIntoView(size_t index)
{
    const EffectSlot& row = *rows_[index];
    int32_t top = static_cast<int32_t>(index) * row.bounds().height;
    if (effects_header_)
        top += header_height;
    if (presets_header_ && row.entry->is_preset)
        top += header_height;
    const int32_t view = list_panel_.bounds().height;
    const int32_t position = list_scroll_bar_.position();
    if (top < position)
        list_scroll_bar_.scroll_to(std::min(top, list_scroll_bar_.range()), true);
    else if (top + row.bounds().height > position + view)
        list_scroll_bar_.scroll_to(std::min(top + row.bounds().height - view, list_scroll_bar_.range()), true);
}

void PreferencesEditEffectPopup::FitToContent()
{
    const int32_t w = popup_width;
    const int32_t list_height = std::min(list_content_.bounds().height, max_list_height);
    const int32_t height = list_height + 85 - (search_mode_ ? 30 : 0);
    const bool scrolls = list_content_.bounds().height > list_height;
    list_panel_.set_bounds(rect{10, 45, scrolls ? w - 36 : w - 20, list_height});
    list_content_.set_bounds(rect{0, list_content_.bounds().y, list_panel_.bounds().width,
                                  list_content_.bounds().height});
    list_scroll_bar_.set_bounds(rect{w - 26, 45, 16, list_height});
    list_scroll_bar_.set_visible(scrolls);
    list_scroll_bar_.layout();

    search_input.set_visible(search_mode_);
    label_input.set_visible(!search_mode_);
    ok_button.set_visible(!search_mode_);
    cancel_button.set_visible(!search_mode_);
    if (search_mode_)
        search_input.set_bounds(rect{40, 10, w - 50, 25});
    else
        label_input.set_bounds(rect{10, 10, w - 20, 25});
    for (generic_button* button : {&ok_button, &cancel_button}) {
        rect b = button->bounds();
        button->set_bounds(rect{b.x, height - b.height - 10, b.width, b.height});
    }

    POINT origin{0, 0};
    ClientToScreen(handle(), &origin);
    place_window_units(*this, rect{holder().to_units_x(origin.x), holder().to_units_y(origin.y), w, height});
}

void PreferencesEditEffectPopup::OnPaint()
{
    if (!theme_)
        return;
    FillWidget(root(), root().properties.get_color("default_back_color"));
    auto* r = renderer_of(root());
    if (!search_mode_ || !r)
        return;
    const float right = static_cast<float>(search_input.bounds().width);
    r->set_fill_color(theme_->dropdown_back_color);
    r->fill_rect(rect{9, 9, static_cast<int32_t>(right) + 27, 27});
    r->set_antialiased_outlines(false);
    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_line_color(theme_->message_button_text_color);
    // Edges inset by half the stroke: from (9.5, 9.5) to (width + 40.5, 35.5).
    r->draw_rect(rect{9, 9, static_cast<int32_t>(right) + 32, 27});
    if (!search_icon_)
        search_icon_.reset(std::make_unique<image>());
    if (decode_strip(*search_icon_, theme_->picker_search_icon))
        draw_image_fit(root(), rect{10, 10, 25, 25}, *search_icon_, false);
}
