#pragma once
// Reads the keyboard synchronously, for a hotkey polled while another program's window has the focus.
// Codes are Windows virtual-key codes or the pseudo codes below, which stand for either side of a modifier
// or for one side only.
#include <cstdint>

namespace qzsdk {

enum key_code : int32_t {
    key_control_without_right_alt = -100,  // AltGr reports a Control too, which must not count
    key_left_control = -99,
    key_right_control = -98,
    key_shift = -97,
    key_left_shift = -96,
    key_right_shift = -95,
    key_alt = -94,
    key_left_alt = -93,
    key_right_alt = -92,
    key_windows = -91,
    key_left_windows = -90,
    key_right_windows = -89,
    key_space = -88,
    key_tab = -87,
};

// Any code that is neither a pseudo code nor a virtual key (1 to 254) is never down.
bool key_is_down(int32_t code);
// True on a rising edge only: down now and up at the previous poll of the same code.
bool key_was_pressed(int32_t code);

}  // namespace qzsdk
