#pragma once
// A labelled title-strip button of the gallery: icon, label and a dimmed count badge, centred as one group.
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/image_handle.h"

#include <memory>
#include <string>

class GalleryButton : public qzsdk::ui::generic_button {
public:
    GalleryButton();
    ~GalleryButton() override;

    void SetBadge(const std::string& text);
    const std::string& badge() const { return badge_; }

protected:
    void on_paint() override;

private:
    friend class GalleryTestApi;

    void OnPropertyChanged(const qzsdk::ui::event_info& info);
    uint32_t IconFrame(uint32_t frame_count) const;

    std::string badge_;
    qzsdk::ui::image_handle icon_{std::make_unique<qzsdk::ui::image>()};
};
