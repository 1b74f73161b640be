#include "gallery/gallery_preview.h"

#include "gallery/gallery_input.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace qzsdk::ui;

GalleryPreview::GalleryPreview() = default;

GalleryPreview::~GalleryPreview()
{
    Clear();
}

void GalleryPreview::Clear()
{
    // Children go before their panels, so that no panel outlives a widget still attached to it.
    captions_.clear();
    buttons_.clear();
    panels_.clear();
    paths_.clear();
    fitted_views_.clear();
    actual_size_.clear();
    pictures_.clear();
    ++generation_;
}

int32_t GalleryPreview::GridHeight() const
{
    return all_paths_.size() > max_cells ? std::max(bounds().height - more_strip_height, 0) : bounds().height;
}

void GalleryPreview::ComputeCellSize()
{
    const uint32_t w = uint32_t(std::max(bounds().width, 0));
    const uint32_t h = uint32_t(std::max(GridHeight(), 0));
    const uint32_t gaps_x = 2 * (columns_ - 1);
    const uint32_t gaps_y = 2 * (rows_ - 1);
    // A pane narrower than its gaps gives empty cells rather than wrapped-around unsigned sizes.
    cell_width_ = w > gaps_x ? (w - gaps_x) / columns_ : 0;
    cell_height_ = h > gaps_y ? (h - gaps_y) / rows_ : 0;
}

void GalleryPreview::Rebuild(const std::vector<qzsdk::path>& paths)
{
    // The old cells go only once the new ones exist: the window's tooltip registrations then never run empty,
    // which would make it destroy its tooltip window and build a new one for the next caption.
    auto old_panels = std::move(panels_);
    auto old_buttons = std::move(buttons_);
    auto old_captions = std::move(captions_);
    Clear();
    all_paths_ = paths;
    const size_t n = std::min(paths.size(), max_cells);
    if (n == 0) {
        rows_ = columns_ = 0;
        invalidate(false);
        return;
    }
    const uint32_t k = uint32_t(std::trunc(std::sqrt(double(n)) + 0.5));
    if (arrangement == 1) {
        rows_ = std::max(k, 1u);
        columns_ = std::max(uint32_t((n + rows_ - 1) / rows_), 1u);
    } else {
        columns_ = std::max(k, 1u);
        rows_ = std::max(uint32_t((n + columns_ - 1) / columns_), 1u);
    }
    ComputeCellSize();
    const int32_t w = bounds().width;
    const int32_t h = GridHeight();
    const int32_t cw = int32_t(cell_width_);
    const int32_t ch = int32_t(cell_height_);
    int32_t x = 0, y = 0;
    for (size_t i = 0; i < n; ++i) {
        const qzsdk::path& file = paths[i];
        auto panel = std::make_unique<image_panel>();
        panel->attach_to_window(this, rect{x, y, cw, ch});
        panel->set_enabled(true);
        panel->set_visible(true);
        panel->image.reset();
        image_panel* cell = panel.get();
        event_manager::instance().connect(cell, this, event_id::mouse_down, [this, cell](const event_info& info) {
            if (on_cell_pressed)
                on_cell_pressed(*cell, info);
        });
        if (theme)
            panel->properties.set_color("default_back_color", theme->gallery_swap_button_color);

        // A cell narrower than its button keeps the button and caption inside it.
        auto button = std::make_unique<generic_button>();
        button->attach_to_window(cell, rect{std::max(cw - 26, 0), 6, 20, 20});
        if (theme)
            button->properties.set_image("button_back_image", theme->actual_size_image);
        MakeButtonTransparent(*button);
        connect_member_info(button.get(), event_id::activated, &GalleryPreview::OnActualSizeClicked, this);

        auto caption = std::make_unique<GalleryPreviewTitle>(file, point{0, 0}, theme);
        caption->attach_to_window(cell, rect{10, 10, std::max(cw - 40, 0), 20});
        caption->set_tooltip("", file.file_name(false).to_utf8());
        caption->set_visible(titles_visible);

        paths_.push_back(file);
        fitted_views_.push_back(FittedView{});
        actual_size_.push_back(false);
        pictures_.push_back(CellPicture::none);
        panels_.push_back(std::move(panel));
        buttons_.push_back(std::move(button));
        captions_.push_back(std::move(caption));

        if (arrangement == 1) {
            x += cw + 2;
            if (x + cw > w) {
                x = 0;
                y += ch + 2;
            }
        } else {
            y += ch + 2;
            if (y + ch > h) {
                y = 0;
                x += cw + 2;
            }
        }
    }
    invalidate(false);
}

void GalleryPreview::WantedPictures(std::vector<PictureLoader::Request>& wanted) const
{
    const window* owner = owner_window();
    if (!owner)
        return;
    size_t full = size_t(std::count(pictures_.begin(), pictures_.end(), CellPicture::full));
    for (size_t i = 0; i < panels_.size(); ++i) {
        const rect cell = panels_[i]->bounds();
        const PixelSize box{uint32_t(std::max(owner->holder().to_pixels_x(cell.width), 1)),
                            uint32_t(std::max(owner->holder().to_pixels_y(cell.height), 1))};
        const uint64_t tag = generation_ << 16 | i;
        if (pictures_[i] == CellPicture::none)
            wanted.push_back({PictureLoader::Purpose::cell, paths_[i], 0, box, tag});
        else if (pictures_[i] == CellPicture::fitted && actual_size_[i] && full++ < max_full_pictures)
            wanted.push_back({PictureLoader::Purpose::full, paths_[i], 0, box, tag});
    }
}

void GalleryPreview::ApplyPicture(PictureLoader::Result& result)
{
    const size_t cell = size_t(result.request.tag & 0xFFFF);
    if (result.request.tag >> 16 != generation_ || cell >= panels_.size())
        return;
    image_panel& panel = *panels_[cell];
    if (!result.decoded.picture) {
        if (pictures_[cell] == CellPicture::none)
            pictures_[cell] = CellPicture::failed;
        return;
    }
    const bool first = pictures_[cell] == CellPicture::none;
    pictures_[cell] = result.request.purpose == PictureLoader::Purpose::full ? CellPicture::full : CellPicture::fitted;
    panel.image.reset(std::move(result.decoded.picture));
    panel.image_width = result.decoded.full_width;
    panel.image_height = result.decoded.full_height;
    captions_[cell]->SetPixelSize(point{int32_t(panel.image_width), int32_t(panel.image_height)});
    if (first) {
        panel.zoom = 0;
        panel.update_view();
        fitted_views_[cell] = FittedView{panel.zoom, panel.pan_x, panel.pan_y};
        if (actual_size_[cell])
            ShowActualSize(cell);
    } else {
        panel.update_view();
    }
}

void GalleryPreview::Relayout()
{
    if (rows_ == 0 || columns_ == 0)
        return;
    ComputeCellSize();
    const int32_t w = bounds().width;
    const int32_t cw = int32_t(cell_width_);
    const int32_t ch = int32_t(cell_height_);
    int32_t x = 0, y = 0;
    for (size_t i = 0; i < panels_.size(); ++i) {
        panels_[i]->set_bounds(rect{x, y, cw, ch});
        const rect button = buttons_[i]->bounds();
        buttons_[i]->set_bounds(rect{std::max(cw - 26, 0), button.y, button.width, button.height});
        captions_[i]->set_bounds(rect{10, 10, std::max(cw - 40, 0), 20});
        x += cw + 2;
        if (x + cw > w) {
            x = 0;
            y += ch + 2;
        }
    }
    invalidate(false);
}

qzsdk::path GalleryPreview::FileOfCell(const image_panel& cell) const
{
    for (size_t i = 0; i < panels_.size(); ++i)
        if (panels_[i].get() == &cell)
            return pictures_[i] == CellPicture::failed ? qzsdk::path() : paths_[i];
    return {};
}

void GalleryPreview::SetButtonIcon(size_t cell)
{
    if (theme)
        buttons_[cell]->properties.set_image("button_back_image",
                                             actual_size_[cell] ? theme->fit_image : theme->actual_size_image);
}

void GalleryPreview::ShowActualSize(size_t cell)
{
    actual_size_[cell] = true;
    panels_[cell]->zoom = 1.0f;
    panels_[cell]->pan_x = 0;
    panels_[cell]->pan_y = 0;
    panels_[cell]->update_view();
    SetButtonIcon(cell);
}

void GalleryPreview::ShowFitted(size_t cell)
{
    // Whether a cell is at actual size is kept, not read from its zoom: a picture smaller than its cell never
    // gets below the fit zoom, so its zoom says nothing.
    actual_size_[cell] = false;
    const FittedView& view = fitted_views_[cell];
    panels_[cell]->zoom = view.zoom;
    panels_[cell]->pan_x = view.offset_x;
    panels_[cell]->pan_y = view.offset_y;
    panels_[cell]->update_view();
    SetButtonIcon(cell);
}

void GalleryPreview::OnActualSizeClicked(const event_info& info)
{
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i].get() != info.sender)
            continue;
        if (actual_size_[i])
            ShowFitted(i);
        else
            ShowActualSize(i);
        return;
    }
}

void GalleryPreview::ToggleAllActualSize()
{
    const bool any_fitted = std::find(actual_size_.begin(), actual_size_.end(), false) != actual_size_.end();
    for (size_t i = 0; i < panels_.size(); ++i) {
        if (any_fitted)
            ShowActualSize(i);
        else
            ShowFitted(i);
    }
}

void GalleryPreview::ZoomCellUnderCursor(bool larger)
{
    for (const auto& panel : panels_) {
        const point cursor = cursor_position(panel.get());
        if (cursor.x > 0 && cursor.x < panel->bounds().width && cursor.y > 0 && cursor.y < panel->bounds().height) {
            const double notch = larger ? 1.0 : -1.0;
            uint64_t bits = 0;
            std::memcpy(&bits, &notch, sizeof(bits));
            event_manager::instance().fire(panel.get(), event_id::mouse_wheel, 2, 1, bits);
            return;
        }
    }
}

void GalleryPreview::SetTitlesVisible(bool visible)
{
    titles_visible = visible;
    for (const auto& caption : captions_)
        caption->set_visible(visible);
}

void GalleryPreview::ApplyTheme()
{
    if (!theme)
        return;
    properties.set_color("default_back_color", theme->gallery_preview_back_color);
    for (size_t i = 0; i < panels_.size(); ++i) {
        panels_[i]->properties.set_color("default_back_color", theme->gallery_swap_button_color);
        SetButtonIcon(i);
        captions_[i]->theme = theme;
        captions_[i]->invalidate(false);
    }
    invalidate(false);
}

void GalleryPreview::on_paint()
{
    renderer* r = renderer_of(*this);
    if (!r || !theme)
        return;
    r->set_fill_color(theme->gallery_back_color);
    r->fill_rect(rect{0, 0, bounds().width, bounds().height});
    if (all_paths_.size() <= paths_.size())
        return;
    r->set_font("tahoma", 12.0f, 0, 0);
    r->set_alignment(text_align::center, paragraph_align::center);
    r->set_text_color(theme->gallery_button_text_color);
    r->draw_text(rect{0, GridHeight(), bounds().width, more_strip_height},
                 "and " + std::to_string(all_paths_.size() - paths_.size()) + " more");
}
