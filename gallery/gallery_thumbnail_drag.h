#pragma once
// The half-transparent window that follows the cursor while thumbnails are dragged out of the gallery: the
// pressed thumbnail's picture and, for several files, their count.
#include "popup/effects_theme.h"
#include "toolkit/ui/rect.h"
#include "toolkit/ui/window.h"

#include <cstdint>
#include <vector>

class GalleryThumbnail;

class GalleryThumbnailDrag : public qzsdk::ui::window {
public:
    explicit GalleryThumbnailDrag(qzsdk::ui::window* owner);
    ~GalleryThumbnailDrag() override;

    void Setup(const std::vector<GalleryThumbnail*>& files, GalleryThumbnail* pressed, qzsdk::ui::point press_point,
               const EffectsTheme* theme);
    // Keeps the window's bottom-left corner 4 units right of and above the cursor.
    void Follow(qzsdk::ui::point cursor);
    // Forgets a thumbnail that is being destroyed, so that a late paint never reaches it.
    void Forget(const GalleryThumbnail* gone);

    uint64_t Count() const { return count_; }
    qzsdk::ui::point Position() const { return position_; }

private:
    friend class GalleryTestApi;

    void OnPaint();
    void OnHidden();
    void MoveTo(qzsdk::ui::point position);

    const EffectsTheme* theme_ = nullptr;
    std::vector<GalleryThumbnail*> files_;
    GalleryThumbnail* pressed_ = nullptr;
    uint64_t count_ = 0;
    qzsdk::ui::point press_point_;
    qzsdk::ui::point position_;
};
