#pragma once
// The preferences window's prompts as the themed modal popups the user sees: warnings, the Yes/No
// question and the custom shortcut-key popup, each made, run and destroyed within the call.
#include "preferences/preferences_prompts.h"

class PreferencesPopupPrompts : public PreferencesPrompts {
public:
    void Tell(qzsdk::ui::window& owner, const EffectsTheme* theme, qzsdk::ui::point centre, std::string_view title,
              std::string_view text) override;
    bool Confirm(qzsdk::ui::window& owner, const EffectsTheme* theme, qzsdk::ui::point corner, std::string_view title,
                 std::string_view text) override;
    bool ChooseCustomKey(qzsdk::ui::window& owner, const EffectsTheme* theme, qzsdk::ui::point centre,
                         PopupSettings& settings) override;
};
