#include "gallery/gallery_preview_title.h"

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget_painting.h"

#include <algorithm>

using namespace qzsdk::ui;

GalleryPreviewTitle::GalleryPreviewTitle(const qzsdk::path& path, point pixel_size, const EffectsTheme* theme_in)
    : theme(theme_in),
      name_(path.file_name(false).to_utf8()),
      info_("Full: " + std::to_string(pixel_size.x) + "x" + std::to_string(pixel_size.y))
{
    connect_member(this, event_id::paint, &GalleryPreviewTitle::OnPaint, this);
}

void GalleryPreviewTitle::SetPixelSize(point pixel_size)
{
    info_ = "Full: " + std::to_string(pixel_size.x) + "x" + std::to_string(pixel_size.y);
    invalidate(false);
}

GalleryPreviewTitle::~GalleryPreviewTitle() = default;

void GalleryPreviewTitle::OnPaint()
{
    renderer* r = renderer_of(*this);
    if (!r || !theme)
        return;
    r->set_font("tahoma", 12.0f, 0, 0);
    r->set_alignment(text_align::leading, paragraph_align::center);
    color text = theme->gallery_button_text_color;
    text.a = 1;
    color shadow{1 - text.r, 1 - text.g, 1 - text.b, 1};
    const int32_t h = bounds().height;
    const int32_t name_width = int32_t(r->measure_text(name_).width);
    const int32_t info_width = int32_t(r->measure_text(info_).width);
    // A caption too narrow for the size text shows no name rather than a negative clip.
    const int32_t shown = std::max(std::min(name_width, bounds().width - info_width - 30), 0);

    r->set_text_color(shadow);
    r->draw_text_clipped(rect{1, 1, name_width, h}, rect{1, 1, shown, 20}, name_);
    r->set_text_color(text);
    r->draw_text_clipped(rect{0, 0, name_width, h}, rect{0, 0, shown, 20}, name_);
    if (shown < name_width) {
        r->set_text_color(shadow);
        r->draw_text(rect{shown + 1, 1, 20, h}, "...");
        r->set_text_color(text);
        r->draw_text(rect{shown, 0, 20, h}, "...");
    }
    shadow.a = 0.6f;
    text.a = 0.6f;
    r->set_text_color(shadow);
    r->draw_text(rect{shown + 21, 1, 300, h}, info_);
    r->set_text_color(text);
    r->draw_text(rect{shown + 20, 0, 300, h}, info_);
}
