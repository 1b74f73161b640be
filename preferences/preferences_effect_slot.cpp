#include "preferences/preferences_effect_slot.h"

#include "preferences/popup_placement.h"
#include "preferences/popup_style.h"
#include "preferences/preferences_alias_popup.h"
#include "preferences/preferences_list_editing.h"
#include "preferences/preferences_list_events.h"
#include "preferences/preferences_record_list.h"
#include "preferences/preferences_row_drag.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/window.h"

#include <cstdlib>

using namespace qzsdk::ui;

namespace {

constexpr int32_t drag_threshold = 8;

}  // namespace

PreferencesEffectSlot::PreferencesEffectSlot(const EffectsTheme* theme, PreferencesRowDrag* panel,
                                             PreferencesListEvents* owner, PreferencesRecordList* list, uint64_t index,
                                             PreferencesColumns columns)
    : theme_(theme), panel_(panel), owner_(owner), list_(list), index_(index), columns_(columns)
{
    name = "PreferencesEffectSlot";
    connect_member(this, event_id::attached, &PreferencesEffectSlot::OnAttached, this);
}

PreferencesEffectSlot::~PreferencesEffectSlot()
{
    // A row rebuilt away during its press must not stay the target of every later mouse message.
    if (captured_widget() == this)
        set_captured_widget(nullptr);
}

bool PreferencesEffectSlot::has_target() const
{
    return index_ < list_->size() && list_->target(index_) != nullptr;
}

void PreferencesEffectSlot::OnAttached()
{
    connect_member(this, event_id::paint, &PreferencesEffectSlot::OnPaint, this);
    auto& events = event_manager::instance();
    events.connect(this, this, event_id::mouse_enter, [this](const event_info&) { OnHover(true); });
    events.connect(this, this, event_id::mouse_leave, [this](const event_info&) { OnHover(false); });
    connect_member_info(this, event_id::mouse_up, &PreferencesEffectSlot::OnMouseUp, this);
    connect_member_info(this, event_id::mouse_down, &PreferencesEffectSlot::OnMouseDown, this);
    connect_member(this, event_id::mouse_move, &PreferencesEffectSlot::OnMouseMove, this);
    connect_member(this, event_id::resized, &PreferencesEffectSlot::OnResized, this);

    int32_t h = bounds().height;
    for (generic_button* button : {&remove_button, &clear_label_button, &clear_override_button}) {
        button->attach_to_window(this, rect{bounds().width - 122, 0, h, h});
        button->properties.set_color("button_color_normal", color{0, 0, 0, 0});
        button->properties.set_color("button_color_hover", color{0, 0, 0, 0});
        connect_member_info(button, event_id::mouse_up, &PreferencesEffectSlot::OnButtonUp, this);
        events.connect(button, this, event_id::mouse_enter, [this](const event_info&) { OnHover(true); });
        events.connect(button, this, event_id::mouse_leave, [this](const event_info&) { OnHover(false); });
    }
    bool target = has_target();
    remove_button.set_visible(target);
    clear_label_button.set_visible(target && columns_.label && !columns_.number && list_->text_differs(index_));
    clear_override_button.set_visible(target && columns_.override_column && list_->override_target(index_));
    PlaceButtons();
}

void PreferencesEffectSlot::ApplyTheme(const EffectsTheme* theme)
{
    theme_ = theme;
    if (!theme_)
        return;
    properties.set_color("default_back_color", theme_->prefs_row_color);
    remove_button.properties.set_image("button_back_image", theme_->remove_button_image);
    clear_label_button.properties.set_image("button_back_image", theme_->clear_button_image);
    clear_override_button.properties.set_image("button_back_image", theme_->clear_button_image);
    if (is_visible(true))
        invalidate(false);
}

void PreferencesEffectSlot::OnResized()
{
    PlaceButtons();
}

void PreferencesEffectSlot::PlaceButtons()
{
    int32_t w = bounds().width;
    int32_t size = bounds().height;
    int32_t override_x = w - size - 2;
    int32_t label_x = override_x - columns_.override_room();
    int32_t remove_x = label_x - (columns_.label ? 102 : 0);
    remove_button.set_bounds(rect{remove_x, 0, size, size}, true);
    clear_label_button.set_bounds(rect{label_x, 0, size, size}, true);
    clear_override_button.set_bounds(rect{override_x, 0, size, size}, true);
}

void PreferencesEffectSlot::OnPaint()
{
    if (!theme_ || index_ >= list_->size())
        return;
    bool highlighted = hovered_ || pressed_;
    FillWidget(*this, highlighted ? theme_->prefs_row_highlight_color : properties.get_color("default_back_color"));
    if (!BeginRowText(*this, highlighted ? color{1, 1, 1, 1} : theme_->row_text_color))
        return;
    int32_t w = bounds().width;
    int32_t h = bounds().height;
    if (columns_.number) {
        DrawGridLine(*this, 30, h, theme_->prefs_list_line_color);
        DrawRowNumber(*this, index_, h);
    }
    const EffectEntry* target = list_->target(index_);
    int32_t x0 = columns_.name_left();
    rect name_clip{x0, 0, columns_.name_width(w), h};
    if (!target) {
        if (highlighted)
            DrawRowText(*this, name_clip, name_clip, "New +");
    } else {
        DrawRowText(*this, rect{x0, 0, 200, h}, name_clip, target->name);
    }

    clear_override_button.set_visible(false);
    if (columns_.override_column) {
        DrawGridLine(*this, columns_.override_line(w), h, theme_->prefs_list_line_color);
        rect clip{w - 147, 0, 117, h};
        if (const EffectEntry* over = list_->override_target(index_)) {
            clear_override_button.set_visible(!columns_.number);
            DrawRowText(*this, rect{w - 147, 0, 200, h}, clip, over->name);
        } else if (highlighted && override_hot_) {
            DrawRowText(*this, clip, clip, "New Override +");
        }
    }
    clear_label_button.set_visible(false);
    if (columns_.label) {
        DrawGridLine(*this, columns_.label_line(w), h, theme_->prefs_list_line_color);
        int32_t left = w - columns_.override_room() - 96;
        rect clip{left, 0, 66, h};
        if (list_->text_differs(index_)) {
            clear_label_button.set_visible(!columns_.number);
            DrawRowText(*this, rect{left, 0, 200, h}, clip, list_->text(index_));
        } else if (highlighted && label_hot_) {
            DrawRowText(*this, clip, clip, "New Alias +");
        }
    }
}

void PreferencesEffectSlot::OnHover(bool inside)
{
    hovered_ = inside;
    if (inside)
        pressed_ = false;
    invalidate(false);
}

void PreferencesEffectSlot::OnMouseDown(const event_info& info)
{
    if (info.param != 0 || !has_target())
        return;
    press_point_ = cursor_position(nullptr);
    set_captured_widget(this);
    dragging_ = false;
}

void PreferencesEffectSlot::OnMouseMove()
{
    if (captured_widget() == this) {
        if (dragging_) {
            panel_->UpdateDrag(true);
        } else {
            point now = cursor_position(nullptr);
            if (std::abs(now.x - press_point_.x) >= drag_threshold ||
                std::abs(now.y - press_point_.y) >= drag_threshold) {
                dragging_ = true;
                panel_->BeginDrag(this, press_point_);
            }
        }
    }
    int32_t w = bounds().width;
    int32_t x = cursor_position(this).x;
    bool override_hot = columns_.override_column && x > columns_.override_line(w);
    bool label_hot = columns_.label && columns_.label_line(w) < x && x < columns_.override_line(w);
    if (override_hot != override_hot_ || label_hot != label_hot_) {
        override_hot_ = override_hot;
        label_hot_ = label_hot;
        invalidate(false);
    }
}

void PreferencesEffectSlot::OnMouseUp(const event_info& info)
{
    if (info.param == 0 && captured_widget() == this) {
        set_captured_widget(nullptr);
        if (dragging_) {
            dragging_ = false;
            // The drop rebuilds the panel: this row is gone afterwards.
            panel_->DropRow(this);
            return;
        }
    }
    pressed_ = true;
    if (owner_ && owner_->OnListEvent(info))
        return;
    point at = cursor_position(this);
    hovered_ = at.x >= 1 && at.x < bounds().width && at.y >= 1 && at.y < bounds().height;
    pressed_ = false;
    invalidate(false);
}

void PreferencesEffectSlot::OnButtonUp(const event_info& info)
{
    if (info.param != 0 || !owner_)
        return;
    uint64_t command = info.sender == &remove_button ? 1 : info.sender == &clear_label_button ? 2 : 3;
    event_info sent{this, event_id::command, 2, 1, command};
    owner_->OnListEvent(sent);
}

void PreferencesEffectSlot::CancelDrag()
{
    dragging_ = false;
    if (captured_widget() == this)
        set_captured_widget(nullptr);
}

void PreferencesEffectSlot::EditAlias()
{
    auto* aliases = dynamic_cast<AliasRecordList*>(list_);
    if (!aliases || !has_target() || !owner_window())
        return;
    PreferencesAliasPopup popup(owner_window(), list_->own_text(index_));
    CenterAboveOwner(popup);
    popup.ApplyTheme(theme_);
    if (popup.show_modal() == 1 && index_ < aliases->size())
        SetAlias(aliases->records(), aliases->records()[index_], popup.input.get_text());
}
