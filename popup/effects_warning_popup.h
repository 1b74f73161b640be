#pragma once
// A notice with one "OK" button, as tall as its text needs; show_modal answers 1 for "OK", 0 for Escape.
#include "popup/message_popup_base.h"
#include "toolkit/ui/generic_button.h"

class EffectsWarningPopup : public MessagePopupBase {
public:
    // Centred on the point (screen units). The text must outlive the popup.
    EffectsWarningPopup(qzsdk::ui::window* owner, qzsdk::ui::point centre, const EffectsTheme* theme,
                        const std::string& title, std::string_view text);
    ~EffectsWarningPopup() override;

    qzsdk::ui::generic_button& ok_button() { return ok_button_; }

private:
    void OnPaint() override;
    void OnOk();

    qzsdk::ui::generic_button ok_button_;
};
