#include "popup/effects_shorcut_button.h"

#include "toolkit/ui/widget_painting.h"

using namespace qzsdk::ui;

EffectsShorcutButton::EffectsShorcutButton(std::string label, uint64_t number)
    : label_(std::move(label)), number_(number)
{
    name = "EffectsShorcutButton";
}

void EffectsShorcutButton::on_paint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    color text = properties.get_color("button_font_color");
    if (is_hovered()) {
        text = properties.get_color("button_font_color_hover");
        r->set_fill_color(properties.get_color("button_back_color_hover"));
        r->fill_rect({0, 0, w, h});
    }
    if (is_pressed())
        text = properties.get_color("button_font_color_pressed");

    r->set_font("Trebuchet MS", 14.0f, 0, 0);
    r->set_text_color(text);
    r->set_alignment(text_align::center, paragraph_align::bottom);
    r->draw_text({0, 0, w, 20}, label_);

    r->set_font("Trebuchet MS", 10.0f, 0, 0);
    r->set_text_color(properties.get_color("button_font_color_numbers"));
    r->set_alignment(text_align::center, paragraph_align::top);
    r->draw_text({0, 20, w, h - 20}, std::to_string(number_));
}
