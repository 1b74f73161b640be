#include "popup/message_popup_base.h"

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget_painting.h"

using namespace qzsdk::ui;

namespace {

constexpr uint16_t popup_style_flags = 71;

}  // namespace

MessagePopupBase::MessagePopupBase(window* owner, const EffectsTheme* theme, const std::string& title,
                                   std::string_view text, const rect& bounds)
    : theme_(theme), text_(text)
{
    set_owner(owner);
    create(title, bounds, popup_style_flags);
    if (theme_)
        root().properties.set_color("default_back_color", theme_->message_back_color);
    // A popup left running when its opener's window dies must not keep a loop over a dead owner.
    if (owner)
        event_manager::instance().connect(owner, this, event_id::destroying,
                                          [this](const event_info&) { OnOwnerDestroyed(); });
}

void MessagePopupBase::BindCommonHandlers(generic_button* first_button)
{
    first_button_ = first_button;
    event_manager::instance().connect(&root(), this, event_id::paint, [this](const event_info&) { OnPaint(); });
    connect_member_info(this, event_id::key_down, &MessagePopupBase::OnKeyDown, this);
    connect_member(this, event_id::focus_gained, &MessagePopupBase::OnFocusGained, this);
}

void MessagePopupBase::OnKeyDown(const event_info& info)
{
    if (info.param == VK_ESCAPE)
        end_modal(0);
}

void MessagePopupBase::OnFocusGained()
{
    if (first_button_)
        set_focus_widget(first_button_, 0);
}

void MessagePopupBase::OnOwnerDestroyed()
{
    set_owner(nullptr);
    theme_ = nullptr;
    if (holder().running)
        end_modal(0);
    else
        set_visible(false);
}

void MessagePopupBase::PaintFrame(const color& text_color, const rect& text_area)
{
    qzsdk::ui::renderer* r = renderer_of(root());
    if (!r || !theme_)
        return;
    const rect whole{0, 0, root().bounds().width, root().bounds().height};
    r->set_fill_color(theme_->message_back_color);
    r->fill_rect(whole);
    r->set_line_color(theme_->message_border_color);
    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_antialiased_outlines(false);
    r->draw_rect(whole);
    r->set_font("Arial", 12.0f, 0, 0);
    r->set_text_color(text_color);
    r->set_alignment(text_align::center, paragraph_align::center);
    r->draw_text(text_area, text_);
}
