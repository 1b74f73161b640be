#include "host/hotkey.h"

#include "toolkit/platform/key_polling.h"

namespace {

bool any_down(std::initializer_list<int32_t> codes)
{
    for (int32_t code : codes)
        if (qzsdk::key_is_down(code))
            return true;
    return false;
}

}  // namespace

bool HotkeyFired(const PopupSettings& settings)
{
    bool control = any_down({qzsdk::key_left_control, qzsdk::key_right_control, qzsdk::key_control_without_right_alt});
    bool alt = any_down({qzsdk::key_left_alt, qzsdk::key_right_alt, qzsdk::key_alt});
    bool shift = any_down({qzsdk::key_left_shift, qzsdk::key_right_shift, qzsdk::key_shift});
    bool windows = any_down({qzsdk::key_left_windows, qzsdk::key_right_windows, qzsdk::key_windows});

    bool modifiers = false;
    int32_t key = 0;
    switch (settings.hotkey_mode) {
    case hotkey_ctrl_space: modifiers = control; key = qzsdk::key_space; break;
    case hotkey_shift_space: modifiers = shift; key = qzsdk::key_space; break;
    case hotkey_ctrl_tab: modifiers = control; key = qzsdk::key_tab; break;
    case hotkey_shift_tab: modifiers = shift; key = qzsdk::key_tab; break;
    case hotkey_custom:
        modifiers = control == (settings.custom_ctrl != 0) && alt == (settings.custom_alt != 0) &&
                    shift == (settings.custom_shift != 0) && windows == (settings.custom_win != 0);
        key = settings.custom_key;
        break;
    default: return false;
    }
    // The key is polled whatever the modifiers, so its press memory follows it.
    bool pressed = qzsdk::key_was_pressed(key);
    return modifiers && pressed;
}
