#include "gallery/gallery_thumbnail_drag.h"

#include "gallery/gallery_thumbnail.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget_painting.h"

#include <algorithm>
#include <string>

using namespace qzsdk::ui;

namespace {

constexpr int32_t drag_size = 100;

}  // namespace

GalleryThumbnailDrag::GalleryThumbnailDrag(window* owner)
{
    set_owner(owner);
    create("Thumbnail", rect{0, 0, drag_size, drag_size}, 71);
    connect_member(&root(), event_id::paint, &GalleryThumbnailDrag::OnPaint, this);
    connect_member(this, event_id::hidden, &GalleryThumbnailDrag::OnHidden, this);
    SetWindowLongPtrW(handle(), GWL_EXSTYLE, GetWindowLongPtrW(handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(handle(), 0, 127, LWA_ALPHA);
}

GalleryThumbnailDrag::~GalleryThumbnailDrag() = default;

void GalleryThumbnailDrag::Setup(const std::vector<GalleryThumbnail*>& files, GalleryThumbnail* pressed,
                                 point press_point, const EffectsTheme* theme)
{
    theme_ = theme;
    files_ = files;
    count_ = files_.size();
    pressed_ = pressed;
    press_point_ = press_point;
    MoveTo(point{press_point.x + 4, press_point.y - 104});
    holder().maximized = false;
    root().invalidate(false);
}

void GalleryThumbnailDrag::Follow(point cursor)
{
    MoveTo(point{cursor.x + 4, cursor.y - 104});
}

void GalleryThumbnailDrag::MoveTo(point position)
{
    position_ = position;
    RECT frame{0, 0, holder().to_pixels_x(drag_size), holder().to_pixels_y(drag_size)};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(handle(), GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(handle(), GWL_EXSTYLE)));
    SetWindowPos(handle(), nullptr, holder().to_pixels_x(position.x), holder().to_pixels_y(position.y),
                 frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void GalleryThumbnailDrag::Forget(const GalleryThumbnail* gone)
{
    files_.erase(std::remove(files_.begin(), files_.end(), gone), files_.end());
    if (pressed_ == gone)
        pressed_ = nullptr;
}

void GalleryThumbnailDrag::OnPaint()
{
    qzsdk::ui::renderer* r = renderer();
    if (files_.empty() || !pressed_ || !theme_ || !r)
        return;
    const rect client = get_client_rect();
    const rect area{0, 0, client.width, client.height};
    r->set_fill_color(theme_->gallery_preview_back_color);
    r->fill_rect(area);
    if (pressed_->picture && pressed_->picture->valid())
        r->draw_image_fit(area, *pressed_->picture, false);
    if (count_ < 2)
        return;
    const color text = theme_->gallery_button_text_color;
    const std::string number = std::to_string(count_);
    r->set_font("tahoma", 10.0f, 2, 0);
    r->set_text_color(color{1 - text.r, 1 - text.g, 1 - text.b, 1});
    r->draw_text(rect{2, area.height - 19, 50, 20}, number);
    r->set_text_color(color{text.r, text.g, text.b, 1});
    r->draw_text(rect{3, area.height - 20, 50, 20}, number);
}

void GalleryThumbnailDrag::OnHidden()
{
    files_.clear();
    pressed_ = nullptr;
}
