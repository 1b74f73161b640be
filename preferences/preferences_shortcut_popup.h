#pragma once
// "Custom Shortcut Key": modifier boxes and the next key pressed make the popup's custom hotkey.
#include "popup/effects_theme.h"
#include "popup/popup_settings.h"
#include "toolkit/ui/check_box.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/text_label.h"
#include "toolkit/ui/window.h"

#include <cstdint>
#include <string>

class PreferencesShortcutPopup : public qzsdk::ui::window {
public:
    // The centre is in 96-dpi screen units; the settings are read here only.
    PreferencesShortcutPopup(qzsdk::ui::window* owner, qzsdk::ui::point centre, const PopupSettings* settings,
                             const EffectsTheme* theme);
    ~PreferencesShortcutPopup() override;

    qzsdk::ui::generic_button ok_button;
    qzsdk::ui::generic_button cancel_button;
    qzsdk::ui::text_label key_label;
    qzsdk::ui::text_label note_label;
    qzsdk::ui::check_box ctrl_box;
    qzsdk::ui::check_box alt_box;
    qzsdk::ui::check_box shift_box;
    qzsdk::ui::check_box win_box;
    bool ctrl_ticked = true;
    bool alt_ticked = false;
    bool shift_ticked = false;
    bool win_ticked = false;

    // The result, read by the opener after the popup ended with 1.
    int32_t key_code = -1;
    uint32_t ctrl = 1;
    uint32_t alt = 0;
    uint32_t shift = 0;
    uint32_t win = 0;
    std::string key_name;

private:
    void OnKeyDown(const qzsdk::ui::event_info& info);
    void OnModifierChanged(const qzsdk::ui::event_info& info);
    void UpdateKeyLabel();
    void SetUpBox(qzsdk::ui::check_box& box, const char* text, const qzsdk::ui::rect& bounds, bool* ticked);
    void TakeModifiers();

    const PopupSettings* settings_;
    const EffectsTheme* theme_;
};

// Whether a virtual key can be the key of a hotkey: a real key code that is not itself a modifier.
bool IsCapturableKey(uint32_t virtual_key);
// The system's name of the key whose key message carried this lParam; empty when it has none.
std::string SystemKeyName(uint32_t key_data);
