#pragma once
#include <cstdint>

// The event codes of every window, widget and feature object. 20, 28 to 32 and 40 are unassigned.
namespace qzsdk::ui::event_id {

constexpr uint32_t mouse_up = 1;            // param: button 0 left, 1 middle, 2 right
constexpr uint32_t mouse_down = 2;
constexpr uint32_t mouse_double_click = 3;
constexpr uint32_t mouse_wheel = 4;         // param: bits of an f64, delta x 0.5
constexpr uint32_t mouse_enter = 5;
constexpr uint32_t mouse_leave = 6;
constexpr uint32_t mouse_move = 7;
constexpr uint32_t key_down = 8;            // param: virtual key
constexpr uint32_t key_down_raw = 9;        // param: key code | key data << 32
constexpr uint32_t key_up = 10;
constexpr uint32_t char_input = 11;         // param: UTF-16 code unit
constexpr uint32_t paint = 12;
constexpr uint32_t resized = 13;            // param: old width | old height << 32
constexpr uint32_t moved = 14;              // param: old x | old y << 32
constexpr uint32_t timer = 15;              // param: the widget's own timer id
constexpr uint32_t close_requested = 16;
constexpr uint32_t attached = 17;
constexpr uint32_t destroying = 18;
// The widget held the mouse capture and lost it (another window took it, a menu or Alt+Tab cancelled
// the mode, or the widget became hidden or disabled): whatever drag it ran is over.
constexpr uint32_t capture_lost = 19;
constexpr uint32_t enabled = 21;
constexpr uint32_t disabled = 22;
constexpr uint32_t parent_resized = 23;
constexpr uint32_t parent_moved = 24;
constexpr uint32_t child_added = 25;        // param: the child
constexpr uint32_t child_removed = 26;      // param: the child
constexpr uint32_t parent_changed = 27;     // param: the new parent or 0
constexpr uint32_t focus_gained = 33;       // param: 1 when moved by Tab
constexpr uint32_t focus_lost = 34;
constexpr uint32_t shown = 35;
constexpr uint32_t hidden = 36;
constexpr uint32_t value_changed = 37;
constexpr uint32_t activated = 38;
constexpr uint32_t cancelled = 39;
constexpr uint32_t drag_over = 41;
constexpr uint32_t ime = 42;                // param: 0 started, 1 changed, 2 result ready
constexpr uint32_t property_changed = 43;   // param: pointer to the key's characters
constexpr uint32_t command = 44;

}  // namespace qzsdk::ui::event_id
