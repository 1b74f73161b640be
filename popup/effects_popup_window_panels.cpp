// The two windows the popup opens over itself: the screenshot gallery and the preferences.
#include "popup/effects_popup_window.h"

#include "gallery/gallery_popup_window.h"

void EffectsPopupWindow::ShowGallery()
{
    if (!gallery_)
        gallery_ = std::make_unique<GalleryPopupWindow>(this, current_theme_, settings_->capture_folder);
    gallery_->ShowGallery(current_theme_);
}

// The preferences window is built and tested on its own; opening it from here (modal over copies of the
// settings and lists, taken over on OK) comes with the wiring of its list editing.
void EffectsPopupWindow::ShowPreferences() {}
