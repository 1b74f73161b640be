#include "popup/effects_drop_down.h"

#include "toolkit/ui/image_strip.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/widget_painting.h"

#include <memory>
#include <string>

using qzsdk::ui::color;
using qzsdk::ui::rect;

namespace {

constexpr int32_t text_margin = 6;
constexpr int32_t arrow_margin = 6;
// Text is laid out this much wider than it measures and clipped, so that it never wraps.
constexpr int32_t layout_slack = 1000;

}  // namespace

void EffectsDropDown::ApplyTheme(const EffectsTheme* theme)
{
    theme_ = theme;
    if (!theme)
        return;
    properties.set_color("default_back_color", theme->dropdown_back_color);
    hover_color_ = theme->warning_button_color;
    text_color_ = theme->message_button_text_color;
    // The extra part (the custom key) reads as a quieter second colour.
    extra_text_color_ = {text_color_.r, text_color_.g, text_color_.b, text_color_.a * 0.6f};
    hover_text_color_ = theme->warning_button_hover_text_color;
    arrow_.reset();
    invalidate(false);
}

void EffectsDropDown::on_paint()
{
    qzsdk::ui::renderer* r = qzsdk::ui::renderer_of(*this);
    if (!r || !theme_)
        return;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    r->set_fill_color(hovered() ? hover_color_ : properties.get_color("default_back_color"));
    r->fill_rect({0, 0, w, h});

    int32_t arrow_left = w;
    if (!arrow_)
        arrow_.reset(std::make_unique<qzsdk::ui::image>());
    if (qzsdk::ui::decode_strip(*arrow_, theme_->dropdown_arrow_image)) {
        qzsdk::ui::point size = qzsdk::ui::strip_frame_size(*arrow_, theme_->dropdown_arrow_image.frame_count);
        arrow_left = w - arrow_margin - size.x;
        r->draw_image_part({arrow_left, (h - size.y) / 2}, *arrow_, {0, 0, size.x, size.y});
    }

    const std::string text = get_selected().text;
    const size_t bar = text.find('|');
    const std::string main_part = text.substr(0, bar);
    const std::string extra_part = bar == std::string::npos ? std::string() : text.substr(bar + 1);
    r->set_font("Arial", 12.0f, 0, 0);
    const int32_t main_width = static_cast<int32_t>(r->measure_text(main_part).width);
    const int32_t extra_width = extra_part.empty() ? 0 : static_cast<int32_t>(r->measure_text(extra_part).width);
    const rect area{text_margin, 0, arrow_left - 2 * text_margin, h};
    int32_t x = area.x + (area.width - main_width - extra_width) / 2;
    switch (properties.get_int("dropdown_text_align")) {
    case 0: x = area.x; break;
    case 2: x = area.x + area.width - main_width - extra_width; break;
    default: break;
    }
    r->set_alignment(qzsdk::ui::text_align::leading, qzsdk::ui::paragraph_align::center);
    r->set_text_color(hovered() ? hover_text_color_ : text_color_);
    r->draw_text_clipped({x, 0, main_width + layout_slack, h}, area, main_part);
    if (!extra_part.empty()) {
        r->set_text_color(hovered() ? hover_text_color_ : extra_text_color_);
        r->draw_text_clipped({x + main_width, 0, extra_width + layout_slack, h}, area, extra_part);
    }
}
