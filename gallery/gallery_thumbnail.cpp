#include "gallery/gallery_thumbnail.h"

#include "gallery/gallery_input.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget_painting.h"

using namespace qzsdk::ui;

GalleryThumbnail::GalleryThumbnail(const EffectsTheme* theme, const qzsdk::path& path, int64_t time)
    : path_(path), time_(time), theme_(theme)
{
    connect_member(this, event_id::paint, &GalleryThumbnail::OnPaint, this);
    event_manager::instance().connect(this, this, event_id::mouse_enter, [this](const event_info&) {
        ShowDeleteButton(true);
    });
    event_manager::instance().connect(this, this, event_id::mouse_leave, [this](const event_info&) {
        ShowDeleteButton(false);
    });
    connect_member(this, event_id::resized, &GalleryThumbnail::OnResized, this);
}

GalleryThumbnail::~GalleryThumbnail() = default;

void GalleryThumbnail::SetPicture(std::unique_ptr<image> made)
{
    picture.reset(std::move(made));
    invalidate(false);
}

void GalleryThumbnail::DropPicture()
{
    picture.reset();
    delete_button_.reset();
}

void GalleryThumbnail::SetTheme(const EffectsTheme* theme)
{
    theme_ = theme;
    if (theme_ && delete_button_)
        delete_button_->properties.set_image("button_back_image", theme_->gallery_delete_image);
    invalidate(false);
}

void GalleryThumbnail::OnResized()
{
    const rect b = bounds();
    if (delete_button_)
        delete_button_->set_bounds(rect{b.width - 20, b.height - 20, 18, 18});
}

void GalleryThumbnail::ShowDeleteButton(bool shown)
{
    if (!delete_button_ && shown && owner_window()) {
        const rect b = bounds();
        delete_button_ = std::make_unique<generic_button>();
        delete_button_->attach_to_window(this, rect{b.width - 20, b.height - 20, 18, 18});
        MakeButtonTransparent(*delete_button_);
        if (theme_)
            delete_button_->properties.set_image("button_back_image", theme_->gallery_delete_image);
        connect_member(delete_button_.get(), event_id::activated, &GalleryThumbnail::OnDeleteClicked, this);
        // The button is a child: the pointer moving onto it leaves the thumbnail but must keep it shown.
        event_manager::instance().connect(delete_button_.get(), this, event_id::mouse_enter,
                                          [this](const event_info&) { ShowDeleteButton(true); });
        event_manager::instance().connect(delete_button_.get(), this, event_id::mouse_leave,
                                          [this](const event_info&) { ShowDeleteButton(false); });
    }
    // Hidden, not destroyed: this runs inside the button's own leave handler.
    if (delete_button_)
        delete_button_->set_visible(shown);
}

void GalleryThumbnail::OnDeleteClicked()
{
    event_manager::instance().fire(this, event_id::command, 2, 1, 1);
}

void GalleryThumbnail::OnPaint()
{
    renderer* r = renderer_of(*this);
    if (!r || !theme_)
        return;
    const rect area{0, 0, bounds().width, bounds().height};
    r->set_fill_color(theme_->gallery_preview_back_color);
    r->fill_rect(area);
    if (picture && picture->valid())
        r->draw_image_fit(area, *picture, false);
    if (selected) {
        r->set_line_color(theme_->gallery_selection_color);
        r->set_stroke(1.0f, stroke_mode::solid);
        r->set_antialiased_outlines(false);
        r->draw_rect(area);
    }
}
