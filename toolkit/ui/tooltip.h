#pragma once
// The small borderless topmost window that shows one tooltip near the cursor, drawn with the skin of the
// widget whose registration made it.
#include <cstdint>
#include <string>

#include "toolkit/ui/renderer.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {

class tooltip : public window {
public:
    explicit tooltip(widget* skin_source);
    ~tooltip() override;

    // Position in 96-dpi screen units; shown without taking the activation.
    void show(point position, const std::string& title, const std::string& text);
    // Fires 36 only when it was shown.
    void hide();

    widget* skin_source() const { return skin_source_; }
    // When the widget it took its skin from goes away while other registrations remain.
    void set_skin_source(widget* source) { skin_source_ = source; }

private:
    friend class tooltip_test_api;

    void paint();
    void set_title_font(ui::renderer& r) const;
    void set_text_font(ui::renderer& r) const;

    std::string title_;
    std::string text_;
    text_extent title_size_;
    text_extent text_size_;
    text_extent content_size_;
    int32_t gap_ = 0;
    widget* skin_source_;
};

}  // namespace qzsdk::ui
