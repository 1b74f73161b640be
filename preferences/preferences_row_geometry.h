#pragma once
// Column geometry and drawing shared by the list rows, the add row, the grid and the drag ghost.
#include "toolkit/ui/color.h"
#include "toolkit/ui/rect.h"
#include "toolkit/ui/widget.h"

#include <cstdint>
#include <string_view>

struct PreferencesColumns {
    bool label = false;
    bool number = false;
    bool override_column = false;

    // Room taken at the right by the override column.
    int32_t override_room() const { return override_column ? 152 : 0; }
    int32_t name_left() const { return number ? 35 : 5; }
    int32_t name_width(int32_t w) const
    {
        return w - 35 - (number ? 30 : 0) - override_room() - (label ? 102 : 0);
    }
    int32_t label_line(int32_t w) const { return w - override_room() - 102; }
    int32_t override_line(int32_t w) const { return w - 152; }
};

constexpr int32_t preferences_row_height = 30;

// Sets Arial 12 in the colour, leading and vertically centred; false without a renderer.
bool BeginRowText(const qzsdk::ui::widget& painted, const qzsdk::ui::color& text_color);
// Text on one line laid out in `box` and cut at `clip`'s edges without an ellipsis; empty texts are not drawn.
void DrawRowText(const qzsdk::ui::widget& painted, const qzsdk::ui::rect& box, const qzsdk::ui::rect& clip,
                 std::string_view text);
void DrawRowNumber(const qzsdk::ui::widget& painted, uint64_t index, int32_t h);
void DrawGridLine(const qzsdk::ui::widget& painted, int32_t x, int32_t h, const qzsdk::ui::color& line);
