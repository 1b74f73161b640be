#include "gallery/gallery_info_popup.h"

#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;

GalleryInfoPopup::GalleryInfoPopup(window* owner, const EffectsTheme* theme, const std::string& text)
    : text_(text), theme_(theme)
{
    set_owner(owner);
    create("", rect{0, 0, 240, 40}, 7);
    if (theme_)
        root().properties.set_color("default_back_color", theme_->message_back_color);
    connect_member(&root(), event_id::paint, &GalleryInfoPopup::OnPaint, this);
    center();
}

GalleryInfoPopup::~GalleryInfoPopup() = default;

void GalleryInfoPopup::OnPaint()
{
    qzsdk::ui::renderer* r = renderer();
    if (!r || !theme_)
        return;
    const rect client = get_client_rect();
    r->set_fill_color(theme_->message_back_color);
    r->fill_rect(rect{0, 0, client.width, client.height});
    r->set_font("Arial", 12.0f, 0, 0);
    r->set_text_color(theme_->message_text_color);
    r->set_alignment(text_align::center, paragraph_align::center);
    r->draw_text(rect{20, 0, 200, 40}, text_);
}
