#pragma once
// The modal popups the preferences window opens on top of itself: outcome messages, the reset
// confirmation and the custom hotkey popup. The opener supplies the themed popups.
#include "popup/effects_theme.h"
#include "popup/popup_settings.h"
#include "toolkit/ui/rect.h"

#include <string_view>

namespace qzsdk::ui {
class window;
}

class PreferencesPrompts {
public:
    // A warning placed by its centre point.
    virtual void Tell(qzsdk::ui::window& owner, const EffectsTheme* theme, qzsdk::ui::point centre,
                      std::string_view title, std::string_view text) = 0;
    // A question placed by its upper-left corner; true for "Yes".
    virtual bool Confirm(qzsdk::ui::window& owner, const EffectsTheme* theme, qzsdk::ui::point corner,
                         std::string_view title, std::string_view text) = 0;
    // Asks for a key with its modifiers and, when confirmed, writes them into the settings' custom fields.
    virtual bool ChooseCustomKey(qzsdk::ui::window& owner, const EffectsTheme* theme, qzsdk::ui::point centre,
                                 PopupSettings& settings) = 0;

protected:
    ~PreferencesPrompts() = default;
};
