#pragma once
// A section header of the result list: "Effects", "Presets" or "No Matches" with an accent dot.
#include "toolkit/ui/color.h"
#include "toolkit/ui/widget.h"

#include <string_view>

class HeaderSlot : public qzsdk::ui::widget {
public:
    // The text must outlive the header (the three header texts are literals).
    HeaderSlot(std::string_view text, const qzsdk::ui::color& accent);

    std::string_view text() const { return text_; }
    // The same rule as the constructor's text; repaints when either changes.
    void set_text(std::string_view text, const qzsdk::ui::color& accent);
    qzsdk::ui::color text_color;

private:
    void OnPaint();

    std::string_view text_;
    qzsdk::ui::color accent_;
};
