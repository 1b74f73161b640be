#pragma once
// The small borderless notice shown while a batch of images is saved.
#include "popup/effects_theme.h"
#include "toolkit/ui/window.h"

#include <string>

class GalleryInfoPopup : public qzsdk::ui::window {
public:
    GalleryInfoPopup(qzsdk::ui::window* owner, const EffectsTheme* theme, const std::string& text);
    ~GalleryInfoPopup() override;

private:
    void OnPaint();

    std::string text_;
    const EffectsTheme* theme_;
};
