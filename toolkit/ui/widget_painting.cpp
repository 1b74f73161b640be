#include "toolkit/ui/widget_painting.h"

#include "toolkit/ui/widget.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {

renderer* renderer_of(const widget& painted)
{
    const window* owner = painted.owner_window();
    return owner ? owner->renderer() : nullptr;
}

void set_font(const widget& painted, std::string_view family, float size, uint32_t weight_code, uint32_t style_code)
{
    if (renderer* r = renderer_of(painted)) r->set_font(family, size, weight_code, style_code);
}

void fill_vertical_gradient(const widget& painted, const rect& area, const color& top, const color& bottom)
{
    if (renderer* r = renderer_of(painted)) r->fill_vertical_gradient(area, top, bottom);
}

void draw_image(const widget& painted, point position, image& picture)
{
    if (renderer* r = renderer_of(painted)) r->draw_image(position, picture);
}

void draw_image_fit(const widget& painted, const rect& area, image& picture, bool stretch)
{
    if (renderer* r = renderer_of(painted)) r->draw_image_fit(area, picture, stretch);
}

void draw_image_part(const widget& painted, point position, image& picture, const rect& source)
{
    if (renderer* r = renderer_of(painted)) r->draw_image_part(position, picture, source);
}

}  // namespace qzsdk::ui
