#include "preferences/preferences_shortcut_popup.h"

#include "preferences/popup_style.h"
#include "toolkit/platform/text.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;

bool IsCapturableKey(uint32_t virtual_key)
{
    if (virtual_key == 0 || virtual_key > 0xFE)
        return false;
    switch (virtual_key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_LMENU:
    case VK_RMENU:
        return false;
    default:
        return true;
    }
}

std::string SystemKeyName(uint32_t key_data)
{
    wchar_t name[100] = {};
    int length = GetKeyNameTextW(static_cast<LONG>(key_data), name, 100);
    return length > 0 ? qzsdk::wide_to_utf8(std::wstring_view(name, static_cast<size_t>(length))) : std::string();
}

namespace {

// A stored key is taken over only when it could have been captured here: a pressable key and a modifier.
bool HasUsableCustomKey(const PopupSettings* settings)
{
    return settings && settings->custom_key >= 0 && IsCapturableKey(static_cast<uint32_t>(settings->custom_key)) &&
           (settings->custom_ctrl || settings->custom_alt || settings->custom_shift || settings->custom_win);
}

}  // namespace

PreferencesShortcutPopup::PreferencesShortcutPopup(window* owner, point centre, const PopupSettings* settings,
                                                   const EffectsTheme* theme)
    : settings_(settings), theme_(theme)
{
    set_owner(owner);
    create("Custom Shortcut Key", rect{centre.x - 150, centre.y - 70, 300, 140}, 0);
    // Tab is a key to capture; moving the focus with it would let the next Enter press a button.
    tab_navigation = false;
    auto& events = event_manager::instance();
    events.connect(&root(), this, event_id::paint, [this](const event_info&) {
        if (theme_)
            FillWidget(root(), theme_->dialog_back_color);
    });
    events.connect(this, this, event_id::key_down_raw, [this](const event_info& info) { OnKeyDown(info); });

    bool use_stored = HasUsableCustomKey(settings_);
    if (use_stored) {
        ctrl_ticked = settings_->custom_ctrl != 0;
        alt_ticked = settings_->custom_alt != 0;
        shift_ticked = settings_->custom_shift != 0;
        win_ticked = settings_->custom_win != 0;
    }
    SetUpBox(ctrl_box, "CTRL     +", rect{30, 10, 95, 20}, &ctrl_ticked);
    SetUpBox(alt_box, "ALT      +", rect{125, 10, 95, 20}, &alt_ticked);
    SetUpBox(shift_box, "SHIFT", rect{215, 10, 95, 20}, &shift_ticked);
    SetUpBox(win_box, "WIN", rect{0, 10, 95, 20}, &win_ticked);
    win_box.set_visible(false);

    rect client = get_client_rect();
    int32_t w = client.width;
    int32_t h = client.height;
    key_label.properties.set_string("label_font_name", "Arial");
    key_label.properties.set_scalar("label_font_size", 16.0f);
    key_label.properties.set_scalar("label_text_align", 1);
    key_label.properties.set_scalar("label_text_valign", 0);
    if (theme_) {
        key_label.properties.set_color("label_font_color", theme_->message_button_text_color);
        key_label.properties.set_color("default_back_color", theme_->shortcuts_back_color);
    }
    key_label.attach_to_window(&root(), rect{10, 35, 280, 35});
    if (use_stored) {
        key_code = settings_->custom_key;
        TakeModifiers();
        key_name = settings_->custom_key_name;
    }
    UpdateKeyLabel();

    note_label.properties.set_string("label_font_name", "Arial");
    note_label.properties.set_scalar("label_font_size", 12.0f);
    note_label.properties.set_scalar("label_text_align", 0);
    note_label.properties.set_scalar("label_text_valign", 0);
    note_label.properties.set_color("default_back_color", color{0, 0, 0, 0});
    if (theme_)
        note_label.properties.set_color("label_font_color", theme_->message_button_text_color);
    note_label.attach_to_window(&root(), rect{10, h - 60, 280, 20});
    note_label.set_text("Note: Some shortcuts may conflict with your life.");

    ok_button.set_text("OK");
    cancel_button.set_text("Cancel");
    for (generic_button* button : {&ok_button, &cancel_button}) {
        StylePopupButton(*button);
        events.connect(button, this, event_id::activated,
                       [this, button](const event_info&) { end_modal(button == &ok_button ? 1 : 0); });
    }
    ok_button.properties.set_color("button_border_color_hover", color{1, 1, 1, 1});
    ok_button.properties.set_color("button_font_color", color{1, 1, 1, 0.6f});
    if (theme_) {
        ok_button.properties.set_color("button_font_color_hover", theme_->warning_button_hover_text_color);
        ok_button.properties.set_color("button_color_normal", theme_->warning_button_color);
        ok_button.properties.set_color("button_color_hover", theme_->warning_button_color);
        ok_button.properties.set_color("button_border_color_normal", theme_->warning_button_border_color);
        cancel_button.properties.set_color("button_font_color", theme_->message_button_text_color);
        cancel_button.properties.set_color("button_font_color_hover", theme_->warning_button_hover_text_color);
        cancel_button.properties.set_color("button_color_normal", theme_->dropdown_back_color);
        cancel_button.properties.set_color("button_color_hover", theme_->warning_button_color);
    }
    int32_t half = (w - 30) / 2;
    ok_button.attach_to_window(&root(), rect{10, h - 30, half, 20});
    cancel_button.attach_to_window(&root(), rect{half + 20, h - 30, half, 20});
    ok_button.set_enabled(key_code != -1);
}

PreferencesShortcutPopup::~PreferencesShortcutPopup() = default;

void PreferencesShortcutPopup::SetUpBox(check_box& box, const char* text, const rect& bounds, bool* ticked)
{
    box.set_layout(0, 5);
    box.set_text(text);
    box.properties.set_color("checkbox_border_color_normal", color{0, 0, 0, 0});
    box.properties.set_color("checkbox_border_color_hover", color{0, 0, 0, 0});
    box.properties.set_color("checkbox_border_color_focus", color{0.255f, 0.584f, 0.753f, 1.0f});
    box.properties.set_string("checkbox_font_name", "Arial");
    box.properties.set_scalar("checkbox_font_size", 12.0f);
    if (theme_) {
        box.properties.set_color("checkbox_font_color", theme_->warning_text_color);
        box.properties.set_image("checkbox_image", theme_->checkbox_image);
    }
    box.attach_to_window(&root(), bounds);
    box.bind_value(ticked);
    event_manager::instance().connect(&box, this, event_id::value_changed,
                                      [this](const event_info& info) { OnModifierChanged(info); });
}

void PreferencesShortcutPopup::TakeModifiers()
{
    ctrl = ctrl_ticked ? 1 : 0;
    alt = alt_ticked ? 1 : 0;
    shift = shift_ticked ? 1 : 0;
    win = win_ticked ? 1 : 0;
}

void PreferencesShortcutPopup::OnKeyDown(const event_info& info)
{
    uint32_t virtual_key = static_cast<uint32_t>(info.param & 0xFFFFFFFFu);
    std::string name = SystemKeyName(static_cast<uint32_t>(info.param >> 32));
    if (!IsCapturableKey(virtual_key))
        return;
    key_name = name;
    if (ctrl_ticked || alt_ticked || shift_ticked || win_ticked) {
        key_code = static_cast<int32_t>(virtual_key);
        TakeModifiers();
        ok_button.set_enabled(true);
    } else {
        key_code = -1;
        ctrl = alt = shift = win = 0;
        ok_button.set_enabled(false);
    }
    UpdateKeyLabel();
}

void PreferencesShortcutPopup::OnModifierChanged(const event_info& info)
{
    if (info.phase != 2)
        return;
    if (!ctrl_ticked && !alt_ticked && !shift_ticked && !win_ticked) {
        auto* box = static_cast<check_box*>(info.sender);
        bool* ticked = box == &ctrl_box ? &ctrl_ticked : box == &alt_box ? &alt_ticked
                       : box == &shift_box                      ? &shift_ticked
                                                                : &win_ticked;
        *ticked = true;
        // Binding again takes the value into the box and repaints it.
        box->bind_value(ticked);
        box->invalidate(false);
    }
    TakeModifiers();
    UpdateKeyLabel();
}

void PreferencesShortcutPopup::UpdateKeyLabel()
{
    std::string text;
    if (ctrl)
        text += "CTRL + ";
    if (alt)
        text += "ALT + ";
    if (shift)
        text += "SHIFT + ";
    if (win)
        text += "WIN + ";
    text += key_name;
    key_label.set_text(text);
    set_focus_widget(&key_label, 2);
}
