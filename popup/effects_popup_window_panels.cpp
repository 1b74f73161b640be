// The two windows the popup opens over itself: the screenshot gallery and the preferences.
#include "popup/effects_popup_window.h"

#include "gallery/gallery_popup_window.h"
#include "gallery/thumbnail_cache.h"
#include "preferences/preferences_popup_prompts.h"
#include "preferences/preferences_window.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"

namespace {

// Event 44's parameter that asks the host glue for a fresh catalogue.
constexpr uint64_t rebuild_catalogue = 5;

}  // namespace

void EffectsPopupWindow::ShowGallery()
{
    if (!gallery_)
        gallery_ = std::make_unique<GalleryPopupWindow>(this, current_theme_, settings_->capture_folder,
                                                        ThumbnailCache::StoreFile(folders_.local));
    gallery_->ShowGallery(current_theme_);
}

void EffectsPopupWindow::ShowPreferences()
{
    // A second run, or a rebuild of the catalogue under the running one, would free what its copies point at.
    if (busy_)
        return;
    busy_ = true;
    struct ClearBusy {
        bool& busy;
        ~ClearBusy() { busy = false; }
    } clear_busy{busy_};

    qzsdk::ui::fire_event(this, qzsdk::ui::event_id::command, rebuild_catalogue);
    PopupSettings settings = *settings_;
    EffectLists lists = lists_;
    PreferencesPopupPrompts prompts;
    int32_t result = 0;
    {
        PreferencesWindow window(this, themes_, settings, lists, *this, prompts);
        result = window.show_modal();
    }
    if (result != 1)
        return;

    bool restyle_gallery =
        settings.ui_color != settings_->ui_color || settings.capture_folder != settings_->capture_folder;
    lists_ = std::move(lists);
    *settings_ = std::move(settings);
    ApplyTheme(settings_->ui_color, false);
    // The edits live only in memory until written: a failed save must not pass unsaid.
    SaveAndTell();
    if (gallery_ && gallery_->is_visible() && restyle_gallery)
        gallery_->ShowGallery(current_theme_);
}
