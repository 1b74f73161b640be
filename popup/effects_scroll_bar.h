#pragma once
// The result list's scroll bar in the colours of the current theme.
#include "popup/effects_theme.h"
#include "toolkit/ui/scroll_bar.h"

class EffectsScrollBar : public qzsdk::ui::scroll_bar {
public:
    EffectsScrollBar();
    void ApplyTheme(const EffectsTheme* theme);

    qzsdk::ui::color thumb_color;
    qzsdk::ui::color grip_color;

protected:
    void paint_thumb(const qzsdk::ui::rect& area) override;
    void paint_background(const qzsdk::ui::rect& area) override;
};
