#include "preferences/preferences_window.h"

#include "gallery/gallery_popup_window.h"
#include "gallery/thumbnail_cache.h"
#include "popup/effects_popup_window.h"
#include "preferences/preferences_prompts.h"
#include "preferences/settings_transfer.h"
#include "toolkit/platform/cache_store.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/file_dialog.h"
#include "toolkit/ui/renderer.h"

#include <windows.h>

using qzsdk::ui::color;
using qzsdk::ui::event_info;
using qzsdk::ui::rect;

namespace {

constexpr int32_t client_width = 1000;
constexpr int32_t client_height = 568;
constexpr color transparent{0, 0, 0, 0};
const std::vector<qzsdk::ui::file_filter> settings_filter{{"Zephrin Settings File", "*.zqs"}};

struct PaintedLabel {
    rect box;
    const char* text;
};
constexpr PaintedLabel labels[] = {{{34, 31, 90, 20}, "UI Color:"},
                                   {{34, 58, 90, 20}, "Shortcut:"},
                                   {{34, 112, 100, 20}, "Save Location:"},
                                   {{34, 139, 120, 20}, "Thumbnail Cache:"},
                                   {{34, 166, 200, 20}, "Full Resolution Screenshots:"}};

void set_button_face(qzsdk::ui::generic_button& button, const color& face, const EffectsTheme& theme)
{
    button.properties.set_color("button_font_color", theme.message_button_text_color);
    button.properties.set_color("button_font_color_hover", theme.warning_button_hover_text_color);
    button.properties.set_color("button_color_normal", face);
    button.properties.set_color("button_color_hover", theme.warning_button_color);
}

}  // namespace

PreferencesWindow::PreferencesWindow(qzsdk::ui::window* owner, const std::vector<EffectsTheme>& themes,
                                     PopupSettings& settings, EffectLists& lists, EffectsPopupWindow& popup,
                                     PreferencesPrompts& prompts)
    : themes_(themes),
      previous_hotkey_(settings.hotkey_mode),
      settings_(settings),
      lists_(lists),
      popup_(popup),
      prompts_(prompts),
      shortcut_records_(&lists.shortcuts),
      favourite_records_(&lists.aliases),
      blacklist_records_(&lists.blacklist)
{
    const EffectsTheme* theme = &themes_.at(settings.ui_color < themes_.size() ? settings.ui_color : 0);
    shortcuts_panel_ = std::make_unique<PreferencesEffectsScrollPanel>(this, &shortcut_records_, false, theme);
    favourites_panel_ = std::make_unique<PreferencesEffectsScrollPanel>(this, &favourite_records_, true, theme);
    blacklist_panel_ = std::make_unique<PreferencesEffectsScrollPanel>(this, &blacklist_records_, true, theme);
    shortcuts_panel_->show_label_column = true;
    shortcuts_panel_->show_number_column = true;
    shortcuts_panel_->show_scroll_bar = false;
    favourites_panel_->show_label_column = true;
    favourites_panel_->show_override_column = true;

    set_owner(owner);
    create("Preferences", {0, 0, client_width, client_height},
           qzsdk::ui::window_style::borderless | qzsdk::ui::window_style::popup |
               qzsdk::ui::window_style::caption_only);

    auto& events = qzsdk::ui::event_manager::instance();
    events.connect(this, this, qzsdk::ui::event_id::shown, [this](const event_info&) { set_focus_widget(&ok_, 0); });
    events.connect(this, this, qzsdk::ui::event_id::key_down, [this](const event_info& info) {
        if (info.param == VK_ESCAPE)
            end_modal(0);
    });
    Connect(&root(), qzsdk::ui::event_id::paint, &PreferencesWindow::OnPaint);
    events.connect(&root(), this, qzsdk::ui::event_id::mouse_down, [this](const event_info& info) { OnDragStart(info); });
    events.connect(&root(), this, qzsdk::ui::event_id::mouse_up, [](const event_info&) {
        qzsdk::ui::set_captured_widget(nullptr);
    });
    Connect(&root(), qzsdk::ui::event_id::mouse_move, &PreferencesWindow::OnDragMove);

    AttachButton(ok_, {325, 31, 140, 20}, "OK");
    AttachButton(cancel_, {325, 58, 140, 20}, "Cancel");
    AttachButton(reset_, {325, 112, 140, 20}, "Reset Settings");
    AttachButton(export_, {325, 139, 65, 20}, "Export");
    AttachButton(import_, {400, 139, 65, 20}, "Import");

    color_box_.attach_to_window(&root(), {100, 31, 168, 20});
    color_box_.add_item(0, "Dark");
    color_box_.add_item(1, "Light");
    color_box_.bind_value(&settings_.ui_color);
    ConnectValueChanged(color_box_, &PreferencesWindow::OnColorChanged);

    hotkey_box_.attach_to_window(&root(), {100, 58, 168, 20});
    uint32_t mode = hotkey_ctrl_space;
    for (const char* text : {"Ctrl + Space", "Shift + Space", "Ctrl + Tab", "Shift + Tab", "Custom"})
        hotkey_box_.add_item(mode++, text);
    hotkey_box_.bind_value(&settings_.hotkey_mode);
    ConnectValueChanged(hotkey_box_, &PreferencesWindow::OnHotkeyChanged);
    SetCustomItemText();

    AttachButton(choose_, {156, 112, 112, 20}, "Choose");
    choose_.set_tooltip("", settings_.capture_folder);
    AttachButton(clear_, {156, 139, 112, 20}, "Clear");

    full_resolution_box_.attach_to_window(&root(), {254, 166, 20, 20});
    full_resolution_box_.set_layout(0, 10);
    auto& box_skin = full_resolution_box_.properties;
    box_skin.set_color("checkbox_border_color_normal", transparent);
    box_skin.set_color("checkbox_border_color_hover", transparent);
    box_skin.set_color("checkbox_border_color_focus", {0.255f, 0.584f, 0.753f, 1.0f});
    box_skin.set_string("checkbox_font_name", "Arial");
    box_skin.set_scalar("checkbox_font_size", 14.0f);
    full_resolution_box_.bind_value(&settings_.full_resolution);

    shortcuts_panel_->attach_to_window(&root(), {10, 288, 303, 270});
    favourites_panel_->attach_to_window(&root(), {510, 62, 480, 496});
    blacklist_panel_->attach_to_window(&root(), {324, 257, 166, 301});

    center();
    ApplyTheme(settings_.ui_color, true);
}

PreferencesWindow::~PreferencesWindow()
{
    // The bound variables belong to the caller and may go before the widgets do.
    full_resolution_box_.bind_value(nullptr);
}

void PreferencesWindow::AttachButton(qzsdk::ui::generic_button& button, const rect& bounds, const char* text)
{
    button.attach_to_window(&root(), bounds);
    button.set_text(text);
    button.properties.set_string("button_font_name", "Arial");
    button.properties.set_scalar("button_font_weight", 0);
    button.properties.set_scalar("button_font_size", 12.0f);
    button.properties.set_color("button_border_color_hover", transparent);
    button.properties.set_color("button_border_color_focus", transparent);
    qzsdk::ui::event_manager::instance().connect(&button, this, qzsdk::ui::event_id::activated,
                                                 [this](const event_info& info) { OnButtonClick(info); });
}

void PreferencesWindow::Connect(qzsdk::ui::event_object* source, uint32_t id, void (PreferencesWindow::*handler)())
{
    qzsdk::ui::event_manager::instance().connect(source, this, id, [this, handler](const event_info&) {
        (this->*handler)();
    });
}

void PreferencesWindow::ConnectValueChanged(qzsdk::ui::drop_down_box& box, void (PreferencesWindow::*handler)())
{
    // A change is announced before the bound variable is written and again after; only the second tells
    // the new value.
    qzsdk::ui::event_manager::instance().connect(&box, this, qzsdk::ui::event_id::value_changed,
                                                 [this, handler](const event_info& info) {
                                                     if (info.phase == 2)
                                                         (this->*handler)();
                                                 });
}

void PreferencesWindow::ApplyTheme(uint32_t color_index, bool force)
{
    const EffectsTheme* theme = &themes_.at(color_index < themes_.size() ? color_index : 0);
    if (theme == current_theme_ && !force)
        return;
    current_theme_ = theme;
    ok_.properties.set_color("button_font_color", {1.0f, 1.0f, 1.0f, 0.6f});
    ok_.properties.set_color("button_font_color_hover", theme->warning_button_hover_text_color);
    ok_.properties.set_color("button_color_normal", theme->warning_button_color);
    ok_.properties.set_color("button_color_hover", theme->warning_button_color);
    ok_.properties.set_color("button_border_color_normal", theme->warning_button_border_color);
    ok_.properties.set_color("button_border_color_hover", {1.0f, 1.0f, 1.0f, 1.0f});
    set_button_face(cancel_, theme->prefs_cancel_button_color, *theme);
    for (qzsdk::ui::generic_button* button : {&clear_, &reset_, &export_, &import_, &choose_})
        set_button_face(*button, theme->dropdown_back_color, *theme);
    full_resolution_box_.properties.set_color("checkbox_font_color", theme->warning_text_color);
    full_resolution_box_.properties.set_image("checkbox_image", theme->checkbox_image);
    color_box_.ApplyTheme(theme);
    hotkey_box_.ApplyTheme(theme);
    favourites_panel_->ApplyTheme(theme);
    blacklist_panel_->ApplyTheme(theme);
    shortcuts_panel_->ApplyTheme(theme);
    root().invalidate(false);
}

void PreferencesWindow::OnButtonClick(const event_info& info)
{
    if (info.sender == &ok_)
        end_modal(1);
    else if (info.sender == &cancel_)
        end_modal(0);
    else if (info.sender == &clear_)
        ClearThumbnailCache();
    else if (info.sender == &choose_)
        ChooseCaptureFolder();
    else if (info.sender == &reset_)
        ResetSettings();
    else if (info.sender == &export_)
        ExportSettings();
    else if (info.sender == &import_)
        ImportSettings();
}

void PreferencesWindow::OnColorChanged()
{
    ApplyTheme(settings_.ui_color, false);
}

void PreferencesWindow::OnHotkeyChanged()
{
    if (settings_.hotkey_mode == hotkey_custom) {
        // The popup writes the custom fields only when confirmed, so a cancel leaves the copy as it was.
        if (prompts_.ChooseCustomKey(*this, current_theme_, Centre(), settings_))
            SetCustomItemText();
        else if (previous_hotkey_ != hotkey_custom) {
            settings_.hotkey_mode = previous_hotkey_;
            hotkey_box_.bind_value(&settings_.hotkey_mode);
        }
    }
    previous_hotkey_ = settings_.hotkey_mode;
}

void PreferencesWindow::SetCustomItemText()
{
    std::string text = "Custom";
    if (!settings_.custom_key_name.empty())
        text += "| " + settings_.HotkeyText();
    hotkey_box_.set_item_text(hotkey_custom, text);
}

void PreferencesWindow::ClearThumbnailCache()
{
    GalleryPopupWindow* gallery = popup_.gallery();
    // While the gallery makes pictures it holds the store's files open, and they could not be deleted.
    if (gallery)
        gallery->ReleaseThumbnailCache();
    const qzsdk::path store = ThumbnailCache::StoreFile(popup_.folders().local);
    qzsdk::cache_store cache;
    cache.open(store);
    // The deletion's own result: a shown gallery starts writing the store again as soon as it rescans.
    const bool cleared = cache.clear();
    // The gallery's thumbnails were made from the cache just deleted; it makes them again.
    if (gallery)
        gallery->ResetThumbnails();
    if (!cleared)
        Tell("Failed to Clear", "Unable to delete the thumbnail cache: another program is using it.");
}

void PreferencesWindow::ChooseCaptureFolder()
{
    qzsdk::path folder = qzsdk::ui::show_folder_dialog(this, "Select Folder",
                                                       qzsdk::path::from_utf8(settings_.capture_folder));
    if (folder.empty())
        return;
    settings_.capture_folder = folder.to_utf8();
    ShowCaptureFolder();
}

void PreferencesWindow::ShowCaptureFolder()
{
    choose_.remove_tooltip();
    choose_.set_tooltip("", settings_.capture_folder);
}

void PreferencesWindow::ResetSettings()
{
    rect bounds = reset_.bounds();
    RECT frame{};
    GetWindowRect(handle(), &frame);
    int dpi = holder().dpi_x();
    qzsdk::ui::point corner{MulDiv(frame.left, 96, dpi) + bounds.x,
                            MulDiv(frame.top, 96, dpi) + bounds.y + bounds.height + 1};
    if (!prompts_.Confirm(*this, current_theme_, corner, "Reset Settings", "Are you sure you want to reset all settings?"))
        return;
    int64_t last_news_visit = settings_.last_news_visit;
    settings_ = PopupSettings();
    settings_.last_news_visit = last_news_visit;
    for (EffectShortcut& slot : lists_.shortcuts)
        slot = EffectShortcut();
    lists_.aliases.clear();
    lists_.blacklist.clear();
    // Lines kept for plug-ins missing this session would otherwise come back after a reset.
    lists_.unresolved_search_lines.clear();
    lists_.unresolved_shortcut_lines.clear();
    ShowSettings();
    shortcuts_panel_->Rebuild();
    favourites_panel_->Rebuild();
    blacklist_panel_->Rebuild();
}

void PreferencesWindow::ShowSettings()
{
    color_box_.bind_value(&settings_.ui_color);
    hotkey_box_.bind_value(&settings_.hotkey_mode);
    previous_hotkey_ = settings_.hotkey_mode;
    SetCustomItemText();
    ShowCaptureFolder();
    full_resolution_box_.bind_value(&settings_.full_resolution);
    full_resolution_box_.invalidate(false);
}

void PreferencesWindow::ExportSettings()
{
    std::vector<qzsdk::path> chosen = qzsdk::ui::show_file_dialog(
        this, qzsdk::ui::file_dialog_save, "Select a file to save to", settings_filter, 0, "zephrin_settings.zqs");
    if (chosen.empty())
        return;
    TransferMessage outcome = SettingsTransfer(popup_).Export(settings_, lists_, chosen.front());
    Tell(outcome.title, outcome.text);
}

void PreferencesWindow::ImportSettings()
{
    std::vector<qzsdk::path> chosen = qzsdk::ui::show_file_dialog(
        this, qzsdk::ui::file_dialog_open, "Select a file to load from", settings_filter, 0, "");
    if (chosen.empty())
        return;
    TransferMessage outcome = SettingsTransfer(popup_).Import(chosen.front(), settings_, lists_);
    ShowSettings();
    blacklist_panel_->Rebuild();
    favourites_panel_->Rebuild();
    shortcuts_panel_->Rebuild();
    Tell(outcome.title, outcome.text);
}

void PreferencesWindow::Tell(std::string_view title, std::string_view text)
{
    prompts_.Tell(*this, current_theme_, Centre(), title, text);
}

qzsdk::ui::point PreferencesWindow::Centre() const
{
    RECT frame{};
    GetWindowRect(handle(), &frame);
    int dpi = holder().dpi_x();
    int32_t left = MulDiv(frame.left, 96, dpi);
    int32_t top = MulDiv(frame.top, 96, dpi);
    return {left + MulDiv(frame.right - frame.left, 96, dpi) / 2, top + MulDiv(frame.bottom - frame.top, 96, dpi) / 2};
}

void PreferencesWindow::OnDragStart(const event_info&)
{
    if (IsZoomed(handle()) || qzsdk::ui::cursor_position(&root()).y >= drag_strip_height_)
        return;
    move_.begin(*this);
}

void PreferencesWindow::OnDragMove()
{
    move_.follow(*this);
}

void PreferencesWindow::OnPaint()
{
    if (!current_theme_)
        return;
    const EffectsTheme& theme = *current_theme_;
    qzsdk::ui::renderer& paint = *renderer();
    const int32_t width = client_width;
    paint.set_antialiased_outlines(false);
    paint.set_stroke(1.0f, qzsdk::ui::stroke_mode::solid);
    paint.set_fill_color(theme.dialog_back_color);
    paint.fill_rect({0, 0, width, client_height});
    paint.set_line_color(theme.message_border_color);
    paint.draw_rect({0, 0, width, client_height});
    paint.set_line_color(theme.prefs_line_color);
    paint.draw_line(296.5f, 31.5f, 296.5f, 159.5f);

    auto text = [&paint](const rect& box, const char* words, const color& colour) {
        paint.set_font("Arial", 14.0f, 0, 0);
        paint.set_alignment(qzsdk::ui::text_align::leading, qzsdk::ui::paragraph_align::center);
        paint.set_text_color(colour);
        paint.draw_text(box, words);
    };
    for (const PaintedLabel& label : labels)
        text(label.box, label.text, theme.warning_text_color);

    constexpr int32_t shortcuts_y = 288, favourites_y = 62;
    text({15, shortcuts_y - 59, 270, 30}, "Shortcuts:", theme.warning_text_color);
    paint.set_fill_color(theme.prefs_header_band_color);
    paint.fill_rect({10, shortcuts_y - 31, 303, 31});
    paint.fill_rect({510, favourites_y - 31, width - 520, 31});
    paint.set_line_color(theme.prefs_line_color);
    paint.draw_line(211.5f, shortcuts_y - 31.0f, 211.5f, static_cast<float>(shortcuts_y));
    for (int32_t x : {width - 282, width - 180})
        paint.draw_line(x + 0.5f, favourites_y - 31.0f, x + 0.5f, static_cast<float>(favourites_y));
    text({15, shortcuts_y - 31, 100, 31}, "Name", theme.row_text_color);
    text({218, shortcuts_y - 31, 80, 31}, "Label", theme.row_text_color);
    text({515, favourites_y - 59, 270, 30}, "Favorites:", theme.row_text_color);
    text({329, shortcuts_y - 59, 270, 30}, "Blacklist:", theme.row_text_color);
    text({515, favourites_y - 31, 100, 31}, "Name", theme.row_text_color);
    text({width - 276, favourites_y - 31, 80, 31}, "Alias", theme.row_text_color);
    text({width - 174, favourites_y - 31, 80, 31}, "Override", theme.row_text_color);

    paint.set_line_color(theme.prefs_list_back_color);
    paint.draw_rect({10, 10, 480, 197});
    paint.set_font("Arial", 9.0f, 0, 0);
    paint.set_alignment(qzsdk::ui::text_align::trailing, qzsdk::ui::paragraph_align::center);
    paint.set_text_color(theme.message_border_color);
    paint.draw_text({width - 50, 10, 40, 10}, "v. 1.0.3");
}
