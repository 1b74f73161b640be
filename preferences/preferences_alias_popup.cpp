#include "preferences/preferences_alias_popup.h"

#include "preferences/popup_style.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;

PreferencesAliasPopup::PreferencesAliasPopup(window* owner, const std::string& initial_text)
{
    set_owner(owner);
    create("Add Alias", rect{0, 0, 300, 75}, 0);
    auto& events = event_manager::instance();
    events.connect(&root(), this, event_id::paint, [this](const event_info&) { FillWidget(root(), root().properties.get_color("default_back_color")); });

    rect client = get_client_rect();
    int32_t w = client.width;
    StylePopupInput(input);
    input.inside.max_length = max_alias_length;
    input.attach_to_window(&root(), rect{10, 10, w - 20, 25});
    input.inside.set_text(initial_text);
    auto result = [this](const event_info& info) { OnResult(info); };
    events.connect(&input, this, event_id::activated, result);
    events.connect(&input, this, event_id::cancelled, result);

    AddOkCancelButtons(*this, ok_button, cancel_button, w, 45, result);
    set_focus_widget(&input, 2);
}

PreferencesAliasPopup::~PreferencesAliasPopup() = default;

void PreferencesAliasPopup::ApplyTheme(const EffectsTheme* theme)
{
    if (!theme)
        return;
    root().properties.set_color("default_back_color", theme->dialog_back_color);
    ThemePopupInput(input, *theme, theme->input_back_color, "Alias");
    ThemePopupButton(ok_button, *theme);
    ThemePopupButton(cancel_button, *theme);
    root().invalidate(false);
}

void PreferencesAliasPopup::OnResult(const event_info& info)
{
    bool accepted = info.id == event_id::activated && info.sender != &cancel_button;
    end_modal(accepted ? 1 : 0);
}
