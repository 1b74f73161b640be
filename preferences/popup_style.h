#pragma once
#include "popup/effects_theme.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/input_box.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget.h"
#include "toolkit/ui/window.h"

#include <cstdint>

// The small popups' common faces: plain Arial buttons without hover or focus borders, and themed fields.
void StylePopupButton(qzsdk::ui::generic_button& button);
// The OK and Cancel pair under a popup's field: styled, side by side across the popup's width at height y, both
// reporting to one handler.
void AddOkCancelButtons(qzsdk::ui::window& popup, qzsdk::ui::generic_button& ok, qzsdk::ui::generic_button& cancel,
                        int32_t width, int32_t y, const qzsdk::ui::event_handler& handler);
void ThemePopupButton(qzsdk::ui::generic_button& button, const EffectsTheme& theme);
void StylePopupInput(qzsdk::ui::input_box& input);
void ThemePopupInput(qzsdk::ui::input_box& input, const EffectsTheme& theme, const qzsdk::ui::color& border,
                     const char* placeholder);
// Fills the widget's whole area; used by the popups' root paint handlers.
void FillWidget(const qzsdk::ui::widget& painted, const qzsdk::ui::color& fill);
