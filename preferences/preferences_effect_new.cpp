#include "preferences/preferences_effect_new.h"

#include "preferences/popup_style.h"
#include "preferences/preferences_list_events.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/window.h"

using namespace qzsdk::ui;

PreferencesEffectNew::PreferencesEffectNew(const EffectsTheme* theme, PreferencesEffectsScrollPanel* panel,
                                           PreferencesListEvents* owner, PreferencesColumns columns)
    : theme_(theme), panel_(panel), owner_(owner), columns_(columns)
{
    name = "PreferencesEffectNew";
    connect_member(this, event_id::attached, &PreferencesEffectNew::OnAttached, this);
}

PreferencesEffectNew::~PreferencesEffectNew() = default;

void PreferencesEffectNew::OnAttached()
{
    connect_member(this, event_id::paint, &PreferencesEffectNew::OnPaint, this);
    auto hover = [this](bool inside) {
        hovered_ = inside;
        if (inside)
            pressed_ = false;
        invalidate(false);
    };
    auto& events = event_manager::instance();
    events.connect(this, this, event_id::mouse_enter, [hover](const event_info&) { hover(true); });
    events.connect(this, this, event_id::mouse_leave, [hover](const event_info&) { hover(false); });
    connect_member_info(this, event_id::mouse_up, &PreferencesEffectNew::OnMouseUp, this);
}

void PreferencesEffectNew::ApplyTheme(const EffectsTheme* theme)
{
    theme_ = theme;
    if (!theme_)
        return;
    properties.set_color("default_back_color", theme_->prefs_row_color);
    if (is_visible(true))
        invalidate(false);
}

void PreferencesEffectNew::OnPaint()
{
    if (!theme_)
        return;
    bool highlighted = hovered_ || pressed_;
    FillWidget(*this, highlighted ? theme_->prefs_row_highlight_color : properties.get_color("default_back_color"));
    if (!BeginRowText(*this, highlighted ? color{1, 1, 1, 1} : theme_->row_text_color))
        return;
    int32_t w = bounds().width;
    int32_t h = bounds().height;
    if (columns_.number)
        DrawGridLine(*this, 30, h, theme_->prefs_list_line_color);
    if (columns_.override_column)
        DrawGridLine(*this, columns_.override_line(w), h, theme_->prefs_list_line_color);
    if (columns_.label)
        DrawGridLine(*this, columns_.label_line(w), h, theme_->prefs_list_line_color);
    if (highlighted) {
        int32_t width = w - 35 - columns_.override_room() - (columns_.label ? 102 : 0);
        DrawRowText(*this, rect{5, 0, width, h}, rect{5, 0, width, h}, "New +");
    }
}

void PreferencesEffectNew::OnMouseUp(const event_info& info)
{
    if (info.param != 0)
        return;
    pressed_ = true;
    if (owner_ && owner_->OnListEvent(info))
        return;
    point at = cursor_position(this);
    hovered_ = at.x > 0 && at.x < bounds().width && at.y > 0 && at.y < bounds().height;
    pressed_ = false;
    invalidate(false);
}
