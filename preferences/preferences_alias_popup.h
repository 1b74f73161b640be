#pragma once
// "Add Alias": asks for the word a favourite is also found by.
#include "popup/effects_theme.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/input_box.h"
#include "toolkit/ui/window.h"

#include <string>

class PreferencesAliasPopup : public qzsdk::ui::window {
public:
    // Longer aliases could not be seen in the list column nor typed usefully into the search.
    static constexpr uint64_t max_alias_length = 64;

    PreferencesAliasPopup(qzsdk::ui::window* owner, const std::string& initial_text);
    ~PreferencesAliasPopup() override;
    void ApplyTheme(const EffectsTheme* theme);

    qzsdk::ui::input_box input;
    qzsdk::ui::generic_button ok_button;
    qzsdk::ui::generic_button cancel_button;

private:
    void OnResult(const qzsdk::ui::event_info& info);
};
