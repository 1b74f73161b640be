#pragma once
// A drop-down box painted in the current theme: its face, the theme's arrow and the selected item's text,
// an item "main|extra" drawn as two parts in two colours. Nothing is painted before a theme is applied.
#include "popup/effects_theme.h"
#include "toolkit/ui/drop_down_box.h"
#include "toolkit/ui/image_handle.h"

class EffectsDropDown : public qzsdk::ui::drop_down_box {
public:
    // The theme lives in the popup's table, which outlives every window that shows it.
    void ApplyTheme(const EffectsTheme* theme);

protected:
    void on_paint() override;

private:
    const EffectsTheme* theme_ = nullptr;
    qzsdk::ui::image_handle arrow_;
    qzsdk::ui::color hover_color_;
    qzsdk::ui::color text_color_;
    qzsdk::ui::color extra_text_color_;
    qzsdk::ui::color hover_text_color_;
};
