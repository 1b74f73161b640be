#pragma once
// A fixed-size "Yes" / "No" question; show_modal answers 1 for "Yes", 0 for "No" or Escape.
#include "popup/effects_message_popup_button.h"
#include "popup/message_popup_base.h"

class EffectsMessagePopup : public MessagePopupBase {
public:
    // At {0, 0} the popup is centred on its owner. The text must outlive the popup.
    EffectsMessagePopup(qzsdk::ui::window* owner, qzsdk::ui::point position, const EffectsTheme* theme,
                        const std::string& title, std::string_view text);
    ~EffectsMessagePopup() override;

    EffectsMessagePopupButton& yes_button() { return first_button_; }
    EffectsMessagePopupButton& no_button() { return second_button_; }

private:
    void OnPaint() override;
    void OnButtonClicked(const qzsdk::ui::event_info& info);

    EffectsMessagePopupButton first_button_;
    EffectsMessagePopupButton second_button_;
};
