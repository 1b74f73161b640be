#pragma once
#include "preferences/preferences_window.h"

class PreferencesWindowTestApi {
public:
    explicit PreferencesWindowTestApi(PreferencesWindow& window) : window_(window) {}
    qzsdk::ui::drop_down_box& hotkey_box() { return window_.hotkey_box_; }
    qzsdk::ui::drop_down_box& color_box() { return window_.color_box_; }
    qzsdk::ui::generic_button& choose_button() { return window_.choose_; }
    EffectLists& lists() { return window_.lists_; }
    qzsdk::ui::check_box& full_resolution_box() { return window_.full_resolution_box_; }
    const EffectsTheme* current_theme() const { return window_.current_theme_; }
    size_t favourite_rows() const { return window_.favourites_panel_->rows().size(); }
    PreferencesEffectsScrollPanel& favourites_panel() { return *window_.favourites_panel_; }

private:
    PreferencesWindow& window_;
};
