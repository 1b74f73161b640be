#pragma once
// The gallery's preview pane: the selected images side by side in a near-square grid of zoomable cells, each
// with a caption and a button that switches between the fitted view and actual size. At most max_cells
// images are shown, with a count of the rest below them; the cells' pictures come from the window's loader,
// decoded at the cell's size, and at full size while a cell is shown at actual size.
#include "gallery/gallery_preview_title.h"
#include "gallery/picture_loader.h"
#include "popup/effects_theme.h"
#include "toolkit/platform/path.h"
#include "toolkit/ui/event_info.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/generic_panel.h"
#include "toolkit/ui/image_panel.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class GalleryPreview : public qzsdk::ui::generic_panel {
public:
    struct FittedView {
        float zoom = 0;
        int32_t offset_x = 0;
        int32_t offset_y = 0;
    };
    using CellPressHandler = std::function<void(qzsdk::ui::image_panel& cell, const qzsdk::ui::event_info& info)>;

    static constexpr size_t max_cells = 16;
    // Pictures decoded at full size at once; more cells at actual size show their cell-size picture enlarged.
    static constexpr size_t max_full_pictures = 2;
    static constexpr int32_t more_strip_height = 24;

    GalleryPreview();
    ~GalleryPreview() override;

    void Rebuild(const std::vector<qzsdk::path>& paths);
    // The pictures the cells still need, appended to the list.
    void WantedPictures(std::vector<PictureLoader::Request>& wanted) const;
    void ApplyPicture(PictureLoader::Result& result);
    void Relayout();
    // The file a cell shows, also while its picture is being made; empty when it could not be read or the
    // panel is no cell of this preview.
    qzsdk::path FileOfCell(const qzsdk::ui::image_panel& cell) const;
    // Every path given to the last rebuild, also those beyond the cells shown.
    const std::vector<qzsdk::path>& Paths() const { return all_paths_; }
    void ToggleAllActualSize();
    void ZoomCellUnderCursor(bool larger);
    void SetTitlesVisible(bool visible);
    // Re-skins every cell from the held theme.
    void ApplyTheme();

    const EffectsTheme* theme = nullptr;
    // The window's handler of a press on a cell.
    CellPressHandler on_cell_pressed;
    bool titles_visible = true;
    uint32_t arrangement = 0;  // 0 column first, 1 row first

protected:
    void on_paint() override;

private:
    friend class GalleryTestApi;

    void OnActualSizeClicked(const qzsdk::ui::event_info& info);
    void ShowActualSize(size_t cell);
    void ShowFitted(size_t cell);
    void ComputeCellSize();
    int32_t GridHeight() const;
    void Clear();
    void SetButtonIcon(size_t cell);

    enum class CellPicture : uint8_t { none, fitted, full, failed };

    std::vector<std::unique_ptr<qzsdk::ui::image_panel>> panels_;
    std::vector<std::unique_ptr<qzsdk::ui::generic_button>> buttons_;
    std::vector<std::unique_ptr<GalleryPreviewTitle>> captions_;
    std::vector<qzsdk::path> paths_;
    std::vector<qzsdk::path> all_paths_;
    std::vector<FittedView> fitted_views_;
    std::vector<bool> actual_size_;
    std::vector<CellPicture> pictures_;
    uint64_t generation_ = 0;
    uint32_t rows_ = 0;
    uint32_t columns_ = 0;
    uint32_t cell_width_ = 0;
    uint32_t cell_height_ = 0;
};
