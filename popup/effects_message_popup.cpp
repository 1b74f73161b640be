#include "popup/effects_message_popup.h"

#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;

namespace {

constexpr int32_t popup_width = 320;
constexpr int32_t popup_height = 90;

}  // namespace

EffectsMessagePopup::EffectsMessagePopup(window* owner, point position, const EffectsTheme* theme,
                                         const std::string& title, std::string_view text)
    : MessagePopupBase(owner, theme, title, text, {position.x, position.y, popup_width, popup_height})
{
    BindCommonHandlers(&first_button_);
    const int32_t half = popup_width / 2;
    first_button_.set_text("Yes");
    second_button_.set_text("No");
    first_button_.attach_to_window(&root(), {half - 45, 50, 40, 15});
    second_button_.attach_to_window(&root(), {half + 5, 50, 40, 15});
    for (EffectsMessagePopupButton* button : {&first_button_, &second_button_}) {
        button->properties.set_string("button_font_name", "Arial");
        button->properties.set_scalar("button_font_weight", int32_t(0));
        button->properties.set_scalar("button_font_size", 12.0f);
        if (theme) {
            button->properties.set_color("button_font_color", theme->message_button_text_color);
            button->properties.set_color("button_font_color_hover", theme->message_button_hover_color);
            button->properties.set_color("button_font_color_focus", theme->message_button_hover_color);
            button->properties.set_color("button_color_normal", theme->message_back_color);
        }
        connect_member_info(button, event_id::activated, &EffectsMessagePopup::OnButtonClicked, this);
    }
    if (position.x == 0 && position.y == 0)
        center();
}

// The buttons go before the window, while their window still exists.
EffectsMessagePopup::~EffectsMessagePopup() = default;

void EffectsMessagePopup::OnButtonClicked(const event_info& info)
{
    end_modal(info.sender == &first_button_ ? 1 : 0);
}

void EffectsMessagePopup::OnPaint()
{
    if (theme())
        PaintFrame(theme()->message_text_color, {20, 10, root().bounds().width - 40, 30});
}
