#pragma once
// One entry of the gallery's thumbnail column: a cheap cell made by the scan, whose 512-pixel-wide picture is
// made on the window's picture loader while the cell is in or near the view and dropped again far from it; a
// frame while selected, and a delete button while hovered, made at the first hover and dropped with the
// picture, so that a long list holds buttons only near the view.
#include "popup/effects_theme.h"
#include "toolkit/platform/path.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/image_handle.h"
#include "toolkit/ui/widget.h"

#include <cstdint>
#include <memory>

class GalleryThumbnail : public qzsdk::ui::widget {
public:
    GalleryThumbnail(const EffectsTheme* theme, const qzsdk::path& path, int64_t time);
    ~GalleryThumbnail() override;

    const qzsdk::path& GetPath() const { return path_; }
    int64_t Time() const { return time_; }
    void SetPicture(std::unique_ptr<qzsdk::ui::image> made);
    // Far from the view: the picture and the delete button go.
    void DropPicture();
    void ShowDeleteButton(bool shown);
    void SetTheme(const EffectsTheme* theme);

    qzsdk::ui::image_handle picture;
    bool selected = false;

private:
    friend class GalleryTestApi;

    void OnResized();
    void OnDeleteClicked();
    void OnPaint();

    qzsdk::path path_;
    int64_t time_;
    const EffectsTheme* theme_;
    std::unique_ptr<qzsdk::ui::generic_button> delete_button_;
};
