#include "popup/effects_warning_popup.h"

#include <algorithm>

#include "popup/window_placement.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;

namespace {

constexpr int32_t popup_width = 320;
constexpr int32_t popup_height = 90;
constexpr uint32_t text_height_limit = 500;
constexpr int32_t room_below_text = 50;

}  // namespace

EffectsWarningPopup::EffectsWarningPopup(window* owner, point centre, const EffectsTheme* theme,
                                         const std::string& title, std::string_view text)
    : MessagePopupBase(owner, theme, title, text,
                       {centre.x - popup_width / 2, centre.y - popup_height / 2, popup_width, popup_height})
{
    int32_t height = popup_height;
    if (qzsdk::ui::renderer* r = renderer()) {
        r->set_font("Arial", 12.0f, 0, 0);
        r->set_alignment(text_align::center, paragraph_align::top);
        // A layout reports the height of all its lines, also beyond the height it was given.
        height = int32_t(std::min(r->measure_text(text, popup_width, text_height_limit).height, text_height_limit)) +
                 room_below_text;
    }
    place_window_units(*this, {centre.x - popup_width / 2, centre.y - height / 2, popup_width, height});
    BindCommonHandlers(&ok_button_);

    ok_button_.set_text("OK");
    ok_button_.attach_to_window(&root(), {popup_width / 2 - 50, height - 30, 100, 20});
    ok_button_.properties.set_string("button_font_name", "Arial");
    ok_button_.properties.set_scalar("button_font_weight", int32_t(0));
    ok_button_.properties.set_scalar("button_font_size", 12.0f);
    ok_button_.properties.set_color("button_border_color_hover", {1, 1, 1, 1});
    ok_button_.properties.set_color("button_border_color_focus", {0, 0, 0, 0});
    ok_button_.properties.set_color("button_font_color", {1, 1, 1, 0.6f});
    if (theme) {
        ok_button_.properties.set_color("button_font_color_hover", theme->warning_button_hover_text_color);
        ok_button_.properties.set_color("button_color_normal", theme->warning_button_color);
        ok_button_.properties.set_color("button_color_hover", theme->warning_button_color);
        ok_button_.properties.set_color("button_border_color_normal", theme->warning_button_border_color);
    }
    connect_member(&ok_button_, event_id::activated, &EffectsWarningPopup::OnOk, this);
}

EffectsWarningPopup::~EffectsWarningPopup() = default;

void EffectsWarningPopup::OnOk()
{
    end_modal(1);
}

void EffectsWarningPopup::OnPaint()
{
    if (theme())
        PaintFrame(theme()->warning_text_color, {0, 0, root().bounds().width, root().bounds().height - 50});
}
