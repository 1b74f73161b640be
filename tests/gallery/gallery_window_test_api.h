#pragma once
// Test-only access to the gallery window's internals.
#include "gallery/gallery_popup_window.h"

class GalleryWindowTestApi {
public:
    explicit GalleryWindowTestApi(GalleryPopupWindow& gallery) : g(gallery) {}

    // The thumbnails in column order.
    std::vector<GalleryThumbnail*> column() const
    {
        std::vector<GalleryThumbnail*> listed;
        if (g.column_)
            for (qzsdk::ui::widget* child : g.column_->children())
                listed.push_back(static_cast<GalleryThumbnail*>(child));
        return listed;
    }
    std::vector<std::string> names() const { return names_of(column()); }
    std::vector<std::string> selected_names() const { return names_of(g.selection_); }
    const std::vector<GalleryThumbnail*>& selection() const { return g.selection_; }
    GalleryPreview& preview() const { return g.preview_; }
    GalleryButton& export_button() const { return g.export_button_; }
    GalleryButton& delete_button() const { return g.delete_button_; }
    GalleryButton& copy_button() const { return g.copy_button_; }
    GalleryThumbnailDrag& drag_window() const { return *g.drag_window_; }
    qzsdk::ui::split_panel& split() const { return g.split_; }
    qzsdk::ui::generic_panel& list_panel() const { return g.list_panel_; }
    qzsdk::ui::generic_button& swap_button() const { return g.swap_button_; }
    qzsdk::ui::generic_button& maximise_button() const { return g.maximise_button_; }
    GalleryThumbnail* find(const qzsdk::path& file) const { return g.FindThumbnail(file); }
    void settle() const { g.SettlePictures(); }
    // A picture the loader finished (or failed: no picture), handed over at the window's next picture tick.
    void arrive(PictureLoader::Result result) const
    {
        std::lock_guard lock(g.loader_->mutex_);
        g.loader_->results_.push_back(std::move(result));
    }
    // The store's files opened by the loader, as between two pictures of a burst of work.
    void open_cache_store() const
    {
        std::lock_guard lock(g.loader_->store_mutex_);
        g.loader_->OpenStore();
        g.loader_->store_.find("any");
    }
    void scroll_to(int32_t position) const { g.scroll_bar_.scroll_to(position, true); }
    // A client point at the middle of a widget of the gallery.
    POINT centre_of(const qzsdk::ui::widget& target) const
    {
        const qzsdk::ui::rect area = target.visible_area();
        return POINT{area.x + area.width / 2, area.y + area.height / 2};
    }

private:
    static std::vector<std::string> names_of(const std::vector<GalleryThumbnail*>& thumbnails)
    {
        std::vector<std::string> listed;
        for (GalleryThumbnail* t : thumbnails)
            listed.push_back(t->GetPath().file_name().to_utf8());
        return listed;
    }

    GalleryPopupWindow& g;
};
