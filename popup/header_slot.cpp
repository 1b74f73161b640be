#include "popup/header_slot.h"

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget_painting.h"

#include <d2d1.h>
#include <wrl/client.h>

using namespace qzsdk::ui;

HeaderSlot::HeaderSlot(std::string_view text, const color& accent) : text_(text), accent_(accent)
{
    name = "HeaderSlot";
    connect_member(this, event_id::paint, &HeaderSlot::OnPaint, this);
}

void HeaderSlot::set_text(std::string_view text, const color& accent)
{
    if (text == text_ && accent == accent_)
        return;
    text_ = text;
    accent_ = accent;
    invalidate(false);
}

namespace {

// The renderer draws no circles; the dot goes straight to its Direct2D target, in the widget's transform.
void FillDot(renderer& r, const color& accent)
{
    Microsoft::WRL::ComPtr<ID2D1SolidColorBrush> brush;
    if (FAILED(r.target()->CreateSolidColorBrush(D2D1::ColorF(accent.r, accent.g, accent.b, accent.a), &brush)))
        return;
    r.target()->FillEllipse(D2D1::Ellipse(D2D1::Point2F(22.5f, 10.5f), 3.0f, 3.0f), brush.Get());
}

}  // namespace

void HeaderSlot::OnPaint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    r->set_fill_color(properties.get_color("default_back_color"));
    r->fill_rect({0, 0, w, h});
    FillDot(*r, accent_);
    r->set_font("Arial", 10.0f, 0, 0);
    r->set_text_color(text_color);
    r->set_alignment(text_align::leading, paragraph_align::center);
    r->draw_text({34, 2, w - 4, h - 4}, text_);
}
