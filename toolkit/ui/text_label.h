#pragma once
// Static text with horizontal and vertical alignment from the skin, optional styled runs and optional
// sizing to its text.
#include <string>
#include <vector>

#include "toolkit/ui/text_style_range.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

class text_label : public widget {
public:
    text_label();

    // Also turns auto-sizing off.
    void set_text(const std::string& text);
    const std::string& text() const { return text_; }
    // Sizes the label to its text along each axis whose auto flag is set; also runs on every property change.
    void measure();

    bool rich = false;  // draw with `runs` instead of the label font
    std::vector<text_style_range> runs;
    bool auto_width = false;
    bool auto_height = false;

private:
    void set_font_and_alignment() const;
    void on_paint();

    std::string text_;
};

}  // namespace qzsdk::ui
