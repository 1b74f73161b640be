#pragma once
// What the message and the warning popup share: a themed modal window with a framed text, Escape for 0,
// the focus handed to the first button, and an end when the opener's window goes away first.
#include "popup/effects_theme.h"
#include "toolkit/ui/event_info.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/window.h"

#include <string_view>

class MessagePopupBase : public qzsdk::ui::window {
public:
    MessagePopupBase(const MessagePopupBase&) = delete;
    MessagePopupBase& operator=(const MessagePopupBase&) = delete;

    std::string_view text() const { return text_; }

protected:
    // The text must outlive the popup. Creates the window hidden, owned by the owner when there is one.
    MessagePopupBase(qzsdk::ui::window* owner, const EffectsTheme* theme, const std::string& title,
                     std::string_view text, const qzsdk::ui::rect& bounds);
    ~MessagePopupBase() override = default;

    // Binds the paint, Escape and focus handlers; the first button takes the focus.
    void BindCommonHandlers(qzsdk::ui::generic_button* first_button);
    void PaintFrame(const qzsdk::ui::color& text_color, const qzsdk::ui::rect& text_area);
    const EffectsTheme* theme() const { return theme_; }

    void OnKeyDown(const qzsdk::ui::event_info& info);
    void OnFocusGained();

private:
    virtual void OnPaint() = 0;
    void OnOwnerDestroyed();

    const EffectsTheme* theme_;
    std::string_view text_;
    qzsdk::ui::generic_button* first_button_ = nullptr;
};
