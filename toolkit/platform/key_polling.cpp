#include "toolkit/platform/key_polling.h"

#include <windows.h>

#include <unordered_map>

namespace qzsdk {

namespace {

bool down(int virtual_key)
{
    return GetKeyState(virtual_key) & 0x8000;
}

bool either_down(int left, int right)
{
    return (GetKeyState(left) | GetKeyState(right)) & 0x8000;
}

}  // namespace

bool key_is_down(int32_t code)
{
    switch (code) {
    case key_control_without_right_alt: return either_down(VK_LCONTROL, VK_RCONTROL) && !down(VK_RMENU);
    case key_left_control: return down(VK_LCONTROL);
    case key_right_control: return down(VK_RCONTROL);
    case key_shift: return either_down(VK_LSHIFT, VK_RSHIFT);
    case key_left_shift: return down(VK_LSHIFT);
    case key_right_shift: return down(VK_RSHIFT);
    case key_alt: return either_down(VK_LMENU, VK_RMENU);
    case key_left_alt: return down(VK_LMENU);
    case key_right_alt: return down(VK_RMENU);
    case key_windows: return either_down(VK_LWIN, VK_RWIN);
    case key_left_windows: return down(VK_LWIN);
    case key_right_windows: return down(VK_RWIN);
    case key_space: return down(VK_SPACE);
    case key_tab: return down(VK_TAB);
    default:
        // GetKeyState masks its argument to a byte, so 0x120 would read Space.
        return code >= 1 && code <= 254 && down(code);
    }
}

bool key_was_pressed(int32_t code)
{
    // Touched only on the UI thread; lives until the module unloads.
    static std::unordered_map<int32_t, bool> was_down;
    bool& previous = was_down[code];
    bool now = key_is_down(code);
    bool rising = now && !previous;
    previous = now;
    return rising;
}

}  // namespace qzsdk
