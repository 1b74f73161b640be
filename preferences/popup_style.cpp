#include "preferences/popup_style.h"

#include "toolkit/ui/widget_painting.h"

using qzsdk::ui::color;

void StylePopupButton(qzsdk::ui::generic_button& button)
{
    button.properties.set_string("button_font_name", "Arial");
    button.properties.set_scalar("button_font_weight", 0);
    button.properties.set_scalar("button_font_size", 12.0f);
    button.properties.set_color("button_border_color_hover", color{0, 0, 0, 0});
    button.properties.set_color("button_border_color_focus", color{0, 0, 0, 0});
}

void AddOkCancelButtons(qzsdk::ui::window& popup, qzsdk::ui::generic_button& ok, qzsdk::ui::generic_button& cancel,
                        int32_t width, int32_t y, const qzsdk::ui::event_handler& handler)
{
    ok.set_text("OK");
    cancel.set_text("Cancel");
    for (qzsdk::ui::generic_button* button : {&ok, &cancel}) {
        StylePopupButton(*button);
        qzsdk::ui::event_manager::instance().connect(button, &popup, qzsdk::ui::event_id::activated, handler);
    }
    ok.attach_to_window(&popup.root(), qzsdk::ui::rect{10, y, width / 2 - 20, 20});
    cancel.attach_to_window(&popup.root(), qzsdk::ui::rect{width / 2 + 10, y, width / 2 - 20, 20});
}

void ThemePopupButton(qzsdk::ui::generic_button& button, const EffectsTheme& theme)
{
    button.properties.set_color("button_font_color", theme.message_button_text_color);
    button.properties.set_color("button_font_color_hover", theme.warning_button_hover_text_color);
    button.properties.set_color("button_color_normal", theme.dropdown_back_color);
    button.properties.set_color("button_color_hover", theme.warning_button_color);
    if (button.is_visible(true))
        button.invalidate(false);
}

void StylePopupInput(qzsdk::ui::input_box& input)
{
    input.properties.set_default_font("input_font_name");
    input.properties.set_scalar("input_font_size", 15.0f);
}

void ThemePopupInput(qzsdk::ui::input_box& input, const EffectsTheme& theme, const color& border,
                     const char* placeholder)
{
    input.properties.set_color("default_back_color", theme.dropdown_back_color);
    input.properties.set_color("input_font_color", theme.input_text_color);
    input.properties.set_color("input_font_default_text_color", theme.input_hint_color);
    input.properties.set_color("input_border_color", border);
    input.inside.set_placeholder(placeholder, true);
    if (input.is_visible(true))
        input.invalidate(false);
}

void FillWidget(const qzsdk::ui::widget& painted, const color& fill)
{
    qzsdk::ui::renderer* target = qzsdk::ui::renderer_of(painted);
    if (!target)
        return;
    target->set_fill_color(fill);
    target->fill_rect(qzsdk::ui::rect{0, 0, painted.bounds().width, painted.bounds().height});
}
