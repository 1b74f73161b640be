#include "popup/effects_message_popup_button.h"

#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

using namespace qzsdk::ui;

void EffectsMessagePopupButton::on_paint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    const rect whole{0, 0, bounds().width, bounds().height};
    r->set_fill_color(properties.get_color("button_color_normal"));
    r->fill_rect(whole);
    const char* text_key = "button_font_color";
    if (is_hovered())
        text_key = "button_font_color_hover";
    if (is_pressed())
        text_key = "button_font_color_pressed";
    if (owner_window() && owner_window()->focused_widget() == this)
        text_key = "button_font_color_focus";
    r->set_font(properties.get_string("button_font_name"), properties.get_float("button_font_size"),
                uint32_t(properties.get_int("button_font_weight")), uint32_t(properties.get_int("button_font_style")));
    r->set_text_color(properties.get_color(text_key));
    r->set_alignment(text_align::center, paragraph_align::center);
    r->draw_text(whole, text());
}
