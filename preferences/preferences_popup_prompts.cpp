#include "preferences/preferences_popup_prompts.h"

#include "popup/effects_message_popup.h"
#include "popup/effects_warning_popup.h"
#include "preferences/preferences_shortcut_popup.h"

#include <string>

void PreferencesPopupPrompts::Tell(qzsdk::ui::window& owner, const EffectsTheme* theme, qzsdk::ui::point centre,
                                   std::string_view title, std::string_view text)
{
    EffectsWarningPopup popup(&owner, centre, theme, std::string(title), text);
    popup.show_modal();
}

bool PreferencesPopupPrompts::Confirm(qzsdk::ui::window& owner, const EffectsTheme* theme, qzsdk::ui::point corner,
                                      std::string_view title, std::string_view text)
{
    EffectsMessagePopup popup(&owner, corner, theme, std::string(title), text);
    return popup.show_modal() == 1;
}

bool PreferencesPopupPrompts::ChooseCustomKey(qzsdk::ui::window& owner, const EffectsTheme* theme,
                                              qzsdk::ui::point centre, PopupSettings& settings)
{
    PreferencesShortcutPopup popup(&owner, centre, &settings, theme);
    if (popup.show_modal() != 1)
        return false;
    settings.custom_key = popup.key_code;
    settings.custom_ctrl = popup.ctrl;
    settings.custom_alt = popup.alt;
    settings.custom_shift = popup.shift;
    settings.custom_win = popup.win;
    settings.custom_key_name = popup.key_name;
    return true;
}
