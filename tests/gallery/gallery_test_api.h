#pragma once
// Test-only access to the gallery's internals.
#include "gallery/gallery_button.h"
#include "gallery/gallery_preview.h"
#include "gallery/gallery_thumbnail.h"
#include "gallery/gallery_thumbnail_drag.h"

class GalleryTestApi {
public:
    static std::vector<std::unique_ptr<qzsdk::ui::image_panel>>& panels(GalleryPreview& preview)
    {
        return preview.panels_;
    }
    static std::vector<std::unique_ptr<qzsdk::ui::generic_button>>& buttons(GalleryPreview& preview)
    {
        return preview.buttons_;
    }
    static std::vector<std::unique_ptr<GalleryPreviewTitle>>& captions(GalleryPreview& preview)
    {
        return preview.captions_;
    }
    static uint32_t rows(const GalleryPreview& preview) { return preview.rows_; }
    // The mark the preview gives the loader's requests for a cell's picture.
    static uint64_t cell_tag(const GalleryPreview& preview, size_t cell) { return preview.generation_ << 16 | cell; }
    static uint32_t columns(const GalleryPreview& preview) { return preview.columns_; }
    // Null until the thumbnail is first hovered, and again once it is far from the view.
    static qzsdk::ui::generic_button* delete_button(GalleryThumbnail& thumbnail)
    {
        return thumbnail.delete_button_.get();
    }
    static const std::vector<GalleryThumbnail*>& drag_files(const GalleryThumbnailDrag& drag) { return drag.files_; }
};
