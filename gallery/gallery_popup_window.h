#pragma once
// The screenshot gallery: a borderless, resizable window listing the capture folder's PNG and JPEG files as
// thumbnails, newest first, beside a preview grid of the selected images. It lives in the host's message
// loop; the effects popup creates it once and calls ShowGallery at each gallery command.
#include "gallery/gallery_button.h"
#include "gallery/gallery_preview.h"
#include "gallery/gallery_thumbnail.h"
#include "gallery/gallery_thumbnail_drag.h"
#include "gallery/picture_loader.h"
#include "gallery/thumbnail_cache.h"
#include "popup/effects_theme.h"
#include "toolkit/platform/path.h"
#include "toolkit/ui/flow_panel.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/generic_panel.h"
#include "popup/effects_scroll_bar.h"
#include "toolkit/ui/split_panel.h"
#include "toolkit/ui/window.h"
#include "toolkit/ui/window_move.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class GalleryPopupWindow : public qzsdk::ui::window {
public:
    // The gallery's owner is the owner of the window given (the effects popup's host window); the capture
    // folder is read from the settings string at every show; the thumbnails are cached in the store file
    // given. Created hidden.
    GalleryPopupWindow(qzsdk::ui::window* popup, const EffectsTheme* theme, const std::string& capture_folder,
                       qzsdk::path cache_file = ThumbnailCache::StoreFile());
    ~GalleryPopupWindow() override;

    void ShowGallery(const EffectsTheme* theme);
    void Hide();
    void Rescan();
    // One click's worth of selection; the modifier keys count only for the user's own clicks and keys.
    void Select(GalleryThumbnail* thumbnail, bool with_modifiers = true);
    void ApplyTheme();
    void ResetThumbnails();
    // Lets go of the thumbnail store's files, which the picture loader keeps open while it works, so that
    // they can be deleted; the pictures still wanted are made again from the next tick on.
    void ReleaseThumbnailCache();

    // Actions on image files.
    void SaveImages(const std::vector<GalleryThumbnail*>& list, uint32_t mode);
    void DeleteImages(std::vector<GalleryThumbnail*> list);
    void DragFilesOut(const std::vector<GalleryThumbnail*>& list);
    void ConfirmDelete(const std::vector<GalleryThumbnail*>& list, const qzsdk::ui::point* position);

    static constexpr int32_t title_bar_height = 40;
    // Threads making pictures: each decodes one full-size capture at a time.
    static constexpr uint32_t loader_threads = 2;

private:
    friend class GalleryWindowTestApi;

    static constexpr uint32_t drag_timer_id = 1;
    static constexpr uint32_t picture_timer_id = 2;

    void BuildWidgets();
    void UpdateLayout(int32_t width, int32_t height);
    void UpdateButtonBadges();
    void ScrollIntoView(GalleryThumbnail* thumbnail);
    float MiddleFraction() const;
    void RestoreMiddle(float fraction);
    void ToggleMaximised();
    void SwapSides();
    void SelectAll();
    void MoveCurrent(int32_t step);
    int32_t ColumnPosition(const GalleryThumbnail* thumbnail) const;
    GalleryThumbnail* FindThumbnail(const qzsdk::path& file) const;
    void DestroyThumbnail(GalleryThumbnail* thumbnail);
    // Asks the loader for the pictures the view needs, most urgent first, and drops those far from it.
    void RequestPictures();
    // Hands finished pictures to their thumbnails and cells; false when there were none.
    bool ApplyPictures();
    // Waits for every picture the view needs (tests and benchmarks).
    void SettlePictures();
    void OnPictureFailed(GalleryThumbnail* thumbnail);
    void ShowExportMenu();
    // The image file is the one Copy takes (empty: none); from a preview cell, also the cell's own file.
    void ShowContextMenu(qzsdk::ui::point position, bool from_preview, const qzsdk::path& image_file);
    void CopyImage(const qzsdk::path& file);
    void EndDrag();
    void ReportFailure(const std::string& title, const std::string& text);

    void OnPaint();
    void OnMouseDown(const qzsdk::ui::event_info& info);
    void OnDoubleClick();
    void OnMouseUp();
    void OnMouseMove();
    void OnTimer(const qzsdk::ui::event_info& info);
    void OnDragTimer();
    void RestoreCursor();
    void OnKeyDown(const qzsdk::ui::event_info& info);
    void OnChar(const qzsdk::ui::event_info& info);
    void OnResized();
    void OnSplitChanged();
    void OnButtonClicked(const qzsdk::ui::event_info& info);
    void OnThumbnailMouseDown(const qzsdk::ui::event_info& info);
    void OnThumbnailCommand(const qzsdk::ui::event_info& info);
    void OnThumbnailMouseMove(const qzsdk::ui::event_info& info);
    void OnThumbnailMouseUp(const qzsdk::ui::event_info& info);
    void OnPreviewMouseDown(qzsdk::ui::image_panel& cell, const qzsdk::ui::event_info& info);

    const EffectsTheme* theme_;
    qzsdk::ui::point minimum_size_{480, 400};
    qzsdk::ui::point default_size_{960, 540};
    qzsdk::ui::window_move move_;
    qzsdk::ui::generic_button maximise_button_;
    qzsdk::ui::generic_button close_button_;
    qzsdk::ui::split_panel split_;
    GalleryPreview preview_;
    qzsdk::ui::generic_button swap_button_;
    qzsdk::ui::generic_panel list_panel_;
    std::unique_ptr<qzsdk::ui::flow_panel> column_;
    EffectsScrollBar scroll_bar_;
    GalleryButton delete_button_;
    GalleryButton export_button_;
    GalleryButton copy_button_;
    const std::string* capture_folder_;
    qzsdk::path cache_file_;
    qzsdk::path folder_;
    std::vector<std::unique_ptr<GalleryThumbnail>> thumbnails_;
    std::unordered_map<std::wstring, GalleryThumbnail*> by_path_;
    std::unordered_set<GalleryThumbnail*> pictured_;
    // Files the loader could not make a picture of, with their last-write times: scans leave them out.
    std::unordered_map<std::wstring, int64_t> unreadable_;
    std::unique_ptr<PictureLoader> loader_;
    std::vector<GalleryThumbnail*> selection_;
    GalleryThumbnail* anchor_ = nullptr;
    GalleryThumbnail* current_ = nullptr;
    std::unique_ptr<GalleryThumbnailDrag> drag_window_;
    GalleryThumbnail* dragged_ = nullptr;
    qzsdk::ui::point press_point_;
    bool list_on_first_side_ = true;
    HRESULT ole_result_ = E_FAIL;
};
