#pragma once
// The caption of a preview cell: the file name, cut with "..." when too wide, then its full pixel size.
#include "popup/effects_theme.h"
#include "toolkit/platform/path.h"
#include "toolkit/ui/rect.h"
#include "toolkit/ui/widget.h"

#include <string>

class GalleryPreviewTitle : public qzsdk::ui::widget {
public:
    GalleryPreviewTitle(const qzsdk::path& path, qzsdk::ui::point pixel_size, const EffectsTheme* theme);
    ~GalleryPreviewTitle() override;

    const EffectsTheme* theme;
    const std::string& Name() const { return name_; }
    const std::string& Info() const { return info_; }
    // The full size is known once the cell's picture is decoded.
    void SetPixelSize(qzsdk::ui::point pixel_size);

private:
    void OnPaint();

    std::string name_;
    std::string info_;
};
