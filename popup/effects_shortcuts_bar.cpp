#include "popup/effects_shortcuts_bar.h"

#include "popup/shortcut_label.h"
#include "toolkit/ui/pixel_line.h"
#include "toolkit/ui/widget_painting.h"

using namespace qzsdk::ui;

namespace {

constexpr int32_t button_pitch = 44;
constexpr size_t separated_buttons = 8;

}  // namespace

EffectsShortcutsBar::EffectsShortcutsBar(event_object* listener, event_handler on_press)
    : listener_(listener), on_press_(std::move(on_press))
{
    name = "EffectsShortcutsBar";
}

EffectsShortcutsBar::~EffectsShortcutsBar()
{
    DestroyButtons();
}

void EffectsShortcutsBar::DestroyButtons()
{
    for (auto& button : buttons_)
        remove_child(button.get());
    buttons_.clear();
}

void EffectsShortcutsBar::Rebuild(const EffectShortcuts& slots, const EffectsTheme* theme)
{
    DestroyButtons();
    int32_t x = 1;
    for (const EffectShortcut& slot : slots) {
        if (!slot.target)
            continue;
        auto button = std::make_unique<EffectsShorcutButton>(shortened_label(slot.label), buttons_.size() + 1);
        button->attach_to_window(this, {x, 1, 43, 34});
        if (theme) {
            button->properties.set_color("button_font_color", theme->shortcut_text_color);
            button->properties.set_color("button_font_color_hover", theme->shortcut_hover_text_color);
            button->properties.set_color("button_font_color_pressed", theme->shortcut_hover_text_color);
            button->properties.set_color("button_font_color_numbers", theme->shortcut_number_color);
            button->properties.set_color("button_back_color_hover", theme->shortcut_hover_back_color);
        }
        button->set_tooltip("", slot.target->name);
        event_manager::instance().connect(button.get(), listener_, event_id::mouse_down, on_press_);
        buttons_.push_back(std::move(button));
        x += button_pitch;
    }
    invalidate(false);
}

void EffectsShortcutsBar::on_paint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    r->set_fill_color(properties.get_color("default_back_color"));
    r->fill_rect({1, 0, w - 2, h - 1});
    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_antialiased_outlines(false);
    r->set_line_color(properties.get_color("other_border_color"));
    draw_pixel_line(*r, 0, h - 1, w, h - 1);
    r->set_line_color(properties.get_color("separator_line_color"));
    for (size_t i = 0; i < buttons_.size() && i < separated_buttons; ++i) {
        const rect& b = buttons_[i]->bounds();
        draw_pixel_line(*r, b.x + b.width, 7, b.x + b.width, h - 7);
    }
}
