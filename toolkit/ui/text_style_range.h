#pragma once
// One styled run of a text handed to the renderer.
#include <cstdint>
#include <string>

#include "toolkit/ui/color.h"

namespace qzsdk::ui {

struct text_style_range {
    uint32_t weight = 0;   // code: 0 → 400, 1 → 300, 2 → 700, other → 400
    uint32_t style = 0;    // code: 1 → italic, other → normal
    bool underline = false;
    std::string family;    // UTF-8
    float size = 12.0f;
    uint32_t start = 0;    // UTF-16 code units
    uint32_t length = 0;
    ui::color color;       // all zero: the run keeps the text brush
};

}  // namespace qzsdk::ui
