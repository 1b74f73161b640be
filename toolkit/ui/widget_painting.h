#pragma once
// Painting operations reached through the window a widget paints in; each does nothing while that window has
// no renderer.
#include <cstdint>
#include <string_view>

#include "toolkit/ui/color.h"
#include "toolkit/ui/rect.h"
#include "toolkit/ui/renderer.h"

namespace qzsdk::ui {

class image;
class widget;

renderer* renderer_of(const widget& painted);

void set_font(const widget& painted, std::string_view family, float size, uint32_t weight_code, uint32_t style_code);
void fill_vertical_gradient(const widget& painted, const rect& area, const color& top, const color& bottom);
void draw_image(const widget& painted, point position, image& picture);
void draw_image_fit(const widget& painted, const rect& area, image& picture, bool stretch);
void draw_image_part(const widget& painted, point position, image& picture, const rect& source);

}  // namespace qzsdk::ui
