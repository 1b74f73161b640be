#include "gallery/gallery_preview.h"

#include "gallery/gallery_input.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

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
}

void GalleryPreview::ComputeCellSize()
{
    const uint32_t w = uint32_t(std::max(bounds().width, 0));
    const uint32_t h = uint32_t(std::max(bounds().height, 0));
    const uint32_t gaps_x = 2 * (columns_ - 1);
    const uint32_t gaps_y = 2 * (rows_ - 1);
    // A pane narrower than its gaps gives empty cells rather than wrapped-around unsigned sizes.
    cell_width_ = w > gaps_x ? (w - gaps_x) / columns_ : 0;
    cell_height_ = h > gaps_y ? (h - gaps_y) / rows_ : 0;
}

void GalleryPreview::Rebuild(const std::vector<qzsdk::path>& paths)
{
    Clear();
    const size_t n = paths.size();
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
    const int32_t h = bounds().height;
    const int32_t cw = int32_t(cell_width_);
    const int32_t ch = int32_t(cell_height_);
    int32_t x = 0, y = 0;
    for (const qzsdk::path& file : paths) {
        auto panel = std::make_unique<image_panel>();
        panel->attach_to_window(this, rect{x, y, cw, ch});
        panel->set_enabled(true);
        panel->set_visible(true);
        point pixels{0, 0};
        if (panel->image.load_from_file(file.wide()) && panel->image->valid()) {
            pixels = point{int32_t(float(panel->image->width()) / panel->image->scale()),
                           int32_t(float(panel->image->height()) / panel->image->scale())};
            panel->image_width = uint32_t(pixels.x);
            panel->image_height = uint32_t(pixels.y);
            panel->update_view();
        }
        image_panel* cell = panel.get();
        event_manager::instance().connect(cell, this, event_id::mouse_down, [this, cell](const event_info& info) {
            if (on_cell_pressed)
                on_cell_pressed(*cell, info);
        });
        if (theme)
            panel->properties.set_color("default_back_color", theme->gallery_swap_button_color);

        auto button = std::make_unique<generic_button>();
        button->attach_to_window(cell, rect{cw - 26, 6, 20, 20});
        if (theme)
            button->properties.set_image("button_back_image", theme->actual_size_image);
        MakeButtonTransparent(*button);
        connect_member_info(button.get(), event_id::activated, &GalleryPreview::OnActualSizeClicked, this);

        auto caption = std::make_unique<GalleryPreviewTitle>(file, pixels, theme);
        caption->attach_to_window(cell, rect{10, 10, cw - 40, 20});
        caption->set_tooltip("", file.file_name(false).to_utf8());
        caption->set_visible(titles_visible);

        paths_.push_back(file);
        fitted_views_.push_back(FittedView{panel->zoom, panel->pan_x, panel->pan_y});
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
        buttons_[i]->set_bounds(rect{cw - 26, button.y, button.width, button.height});
        captions_[i]->set_bounds(rect{10, 10, cw - 40, 20});
        x += cw + 2;
        if (x + cw > w) {
            x = 0;
            y += ch + 2;
        }
    }
    invalidate(false);
}

std::vector<image*> GalleryPreview::GetImages() const
{
    std::vector<image*> pictures;
    for (const auto& panel : panels_)
        pictures.push_back(panel->image.get());
    return pictures;
}

qzsdk::path GalleryPreview::PathOfImage(const image* picture) const
{
    for (size_t i = 0; i < panels_.size(); ++i)
        if (picture && panels_[i]->image.get() == picture)
            return paths_[i];
    return {};
}

void GalleryPreview::ShowActualSize(size_t cell)
{
    panels_[cell]->zoom = 1.0f;
    panels_[cell]->pan_x = 0;
    panels_[cell]->pan_y = 0;
    panels_[cell]->update_view();
    if (theme)
        buttons_[cell]->properties.set_image("button_back_image", theme->fit_image);
}

void GalleryPreview::ShowFitted(size_t cell)
{
    const FittedView& view = fitted_views_[cell];
    panels_[cell]->zoom = view.zoom;
    panels_[cell]->pan_x = view.offset_x;
    panels_[cell]->pan_y = view.offset_y;
    panels_[cell]->update_view();
    if (theme)
        buttons_[cell]->properties.set_image("button_back_image", theme->actual_size_image);
}

void GalleryPreview::OnActualSizeClicked(const event_info& info)
{
    for (size_t i = 0; i < buttons_.size() && i < fitted_views_.size(); ++i) {
        if (buttons_[i].get() != info.sender)
            continue;
        if (panels_[i]->zoom != 1.0f)
            ShowActualSize(i);
        else
            ShowFitted(i);
        return;
    }
}

void GalleryPreview::ToggleAllActualSize()
{
    const bool any_fitted =
        std::any_of(panels_.begin(), panels_.end(), [](const auto& panel) { return panel->zoom != 1.0f; });
    const size_t cells = std::min({panels_.size(), buttons_.size(), fitted_views_.size()});
    for (size_t i = 0; i < cells; ++i) {
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
        buttons_[i]->properties.set_image("button_back_image",
                                          panels_[i]->zoom == 1.0f ? theme->fit_image : theme->actual_size_image);
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
}
