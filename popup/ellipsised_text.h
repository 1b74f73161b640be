#pragma once
// One line of text that fits its room: cut at a whole UTF-8 character and ended with an ellipsis.
#include "toolkit/ui/renderer.h"

#include <cstdint>
#include <string>
#include <string_view>

// The text itself when it fits in `room` units with the renderer's current font, else its longest start
// that fits with "…" after it (only the ellipsis when nothing does).
std::string ellipsised_text(qzsdk::ui::renderer& r, std::string_view text, int32_t room);
