#include "toolkit/ui/generic_panel.h"

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget_painting.h"

namespace qzsdk::ui {

generic_panel::generic_panel()
{
    connect_member(this, event_id::paint, &generic_panel::on_paint, this);
}

void generic_panel::on_paint()
{
    paint_back_and_border(*this, properties.get_float("default_border_width"));
}

void paint_back_and_border(const widget& painted, float border_width)
{
    renderer* r = renderer_of(painted);
    if (!r)
        return;
    const rect whole{0, 0, painted.bounds().width, painted.bounds().height};
    r->set_fill_color(painted.properties.get_color("default_back_color"));
    r->fill_rect(whole);
    r->set_line_color(painted.properties.get_color("default_border_color"));
    r->set_stroke(border_width, stroke_mode::solid);
    r->set_antialiased_outlines(false);
    r->draw_rect(whole);
}

}  // namespace qzsdk::ui
