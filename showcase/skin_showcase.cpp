#include "showcase/skin_showcase.h"

#include <string>


namespace qzsdk::showcase {

namespace {

void decode(ui::image& picture, const ui::embedded_image& png)
{
    picture.load_from_memory(png.data, png.length, png.scale);
}

}  // namespace

skin_showcase::skin_showcase()
{
    decode(checkbox_, skin_.get_image("checkbox_image"));
    decode(dropdown_, skin_.get_image("dropdown_button_image"));
    decode(arrow_, skin_.get_image("scroll_button_arrow_image"));
}

void skin_showcase::text(ui::renderer& r, const char* family_prefix, const ui::rect& box, const char* words,
                         const char* color_key)
{
    const std::string prefix = family_prefix;
    r.set_font(skin_.get_string(prefix + "_font_name"), skin_.get_float(prefix + "_font_size"),
               uint32_t(skin_.get_int(prefix + "_font_weight")), uint32_t(skin_.get_int(prefix + "_font_style")));
    r.set_text_color(skin_.get_color(color_key));
    r.draw_text(box, words);
}

void skin_showcase::outline(ui::renderer& r, const ui::rect& box, const char* color_key)
{
    r.set_line_color(skin_.get_color(color_key));
    r.set_stroke(1.0f, ui::stroke_mode::solid);
    r.draw_rect(box);
}

void skin_showcase::button(ui::renderer& r, const ui::rect& face, const char* color_key, const char* words)
{
    r.set_fill_color(skin_.get_color(color_key));
    r.fill_rect(face);
    outline(r, face, "button_border_color_hover");
    text(r, "button", {face.x + 8, face.y + 5, face.width - 16, face.height - 8}, words, "button_font_color");
}

void skin_showcase::paint(ui::renderer& r)
{
    r.set_fill_color(skin_.get_color("scroll_back_color"));
    r.fill_rect(area);
    text(r, "label", {10, 6, 300, 18}, "Default skin", "label_font_color");

    button(r, {10, 30, 90, 24}, "button_color_normal", "Normal");
    button(r, {110, 30, 90, 24}, "button_color_hover", "Hover");
    button(r, {210, 30, 90, 24}, "button_color_toggle", "Toggled");

    // Check box strip: unchecked frame on top, checked below.
    const int32_t box = int32_t(checkbox_.height()) / 2;
    r.draw_image_part({10, 70}, checkbox_, {0, 0, box, box});
    r.draw_image_part({10, 98}, checkbox_, {0, box, box, box});
    text(r, "checkbox", {30, 70, 80, 18}, "Unchecked", "checkbox_font_color");
    text(r, "checkbox", {30, 98, 80, 18}, "Checked", "checkbox_font_color");

    // Drop-down box: text part and button part in their gradients, the arrow centred in the button.
    r.fill_vertical_gradient({120, 70, 124, 22}, skin_.get_color("dropdown_gradient_text_1"),
                             skin_.get_color("dropdown_gradient_text_2"));
    r.fill_vertical_gradient({244, 70, 22, 22}, skin_.get_color("dropdown_gradient_button_1"),
                             skin_.get_color("dropdown_gradient_button_2"));
    r.draw_image({251, 78}, dropdown_);
    outline(r, {120, 70, 146, 22}, "dropdown_border_color_normal");
    text(r, "dropdown", {126, 74, 110, 16}, "Drop-down", "dropdown_font_color");

    // Scroll bar with its two arrow buttons: the halves of one arrow image.
    r.set_fill_color(skin_.get_color("scroll_bar_back_color"));
    r.fill_rect({300, 60, 16, 130});
    r.set_fill_color(skin_.get_color("scroll_button_back_color"));
    r.fill_rect({300, 60, 16, 16});
    r.fill_rect({300, 174, 16, 16});
    r.draw_image_part({304, 66}, arrow_, {0, 0, 8, 4});
    r.draw_image_part({304, 180}, arrow_, {0, 4, 8, 4});

    // Tooltip and input box.
    r.set_fill_color(skin_.get_color("tooltip_back_color"));
    r.fill_rect({10, 126, 200, 40});
    outline(r, {10, 126, 200, 40}, "tooltip_border_color");
    text(r, "tooltip_title", {16, 129, 190, 16}, "Tooltip title", "tooltip_title_font_color");
    text(r, "tooltip", {16, 146, 190, 16}, "Tooltip text", "tooltip_font_color");
    r.set_fill_color(skin_.get_color("input_selection_color"));
    r.fill_rect({14, 178, 40, 18});
    outline(r, {10, 176, 200, 22}, "input_border_color");
    text(r, "input", {16, 178, 190, 18}, "Input text", "input_font_color");
}

}  // namespace qzsdk::showcase
