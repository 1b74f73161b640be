#pragma once
// The nine shared system cursors, loaded once at start and never destroyed.
#include <windows.h>

#include <array>

namespace qzsdk::ui {

enum system_cursor : int {
    cursor_arrow = 0,
    cursor_cross = 1,
    cursor_size_we = 2,
    cursor_size_ns = 3,
    cursor_size_nwse = 4,
    cursor_ibeam = 5,
    cursor_hand = 6,
    cursor_size_nwse_again = 7,
    cursor_size_nesw = 8,
};

std::array<HCURSOR, 9> init_system_cursors();
extern const std::array<HCURSOR, 9> system_cursors;

}  // namespace qzsdk::ui
