#pragma once
// One entry of the gallery's thumbnail column: a 512-pixel-wide picture of an image file (from the disk
// cache while the file's time is unchanged), a frame while selected, and a delete button while hovered.
#include "popup/effects_theme.h"
#include "toolkit/platform/path.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/image_handle.h"
#include "toolkit/ui/widget.h"

#include <cstdint>

class GalleryThumbnail : public qzsdk::ui::widget {
public:
    static constexpr uint32_t thumbnail_width = 512;

    // Throws when the file cannot be made into a picture; the scan then leaves it out.
    GalleryThumbnail(const EffectsTheme* theme, const qzsdk::path& path, int64_t time);
    ~GalleryThumbnail() override;

    qzsdk::path GetPath() const { return path_; }
    void BuildThumbnail(int64_t time);
    void ShowDeleteButton(bool shown);
    void SetTheme(const EffectsTheme* theme);

    qzsdk::ui::image_handle picture;
    bool selected = false;

private:
    friend class GalleryTestApi;

    void OnAttached();
    void OnResized();
    void OnDeleteClicked();
    void OnPaint();
    void MakeFromFile();

    qzsdk::path path_;
    const EffectsTheme* theme_;
    qzsdk::ui::generic_button delete_button_;
};
