// Showing, placing, painting and theming the popup, its timers and its buttons' commands.
#include "popup/effects_popup_window.h"

#include "gallery/gallery_popup_window.h"
#include "popup/effects_warning_popup.h"
#include "popup/foreground_loan.h"
#include "popup/news_page.h"
#include "popup/window_placement.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/image_strip.h"
#include "toolkit/ui/pixel_line.h"
#include "toolkit/ui/popup_menu.h"
#include "toolkit/ui/widget_painting.h"

#include <string>
#include <string_view>
#include <utility>

using namespace qzsdk::ui;

namespace {

constexpr int32_t top_height = 45;
constexpr int32_t shortcuts_height = 35;
constexpr rect size_with_layer{0, 0, 397, 278};
constexpr rect size_without_layer{0, 0, 218, 68};
constexpr uint32_t top_level = 0xFFFFFFFFu;

// Export menu items; a command is the id + 1.
enum export_item : uint32_t { copy_item = 0, png_item = 1, jpg_item = 2 };
// What event 44 carries for each.
constexpr uint64_t capture_to_clipboard = 0;
constexpr uint64_t capture_to_jpeg = 1;
constexpr uint64_t capture_to_png = 2;
constexpr uint64_t capture_to_folder = 3;

constexpr std::string_view failed_save_title = "Failed to Save";
constexpr std::string_view failed_save_text = "Unable to save the screenshot.";
constexpr std::string_view failed_copy_title = "Failed to Copy";
constexpr std::string_view failed_copy_text = "Unable to copy the screenshot to the clipboard.";

}  // namespace

void EffectsPopupWindow::Show()
{
    const int32_t w = has_layer_ ? size_with_layer.width : size_without_layer.width;
    bounds_units_.width = w;
    bounds_units_.height = has_layer_ ? top_height : size_without_layer.height;
    top_area_ = {0, 0, w, top_height};
    for (widget* part : {static_cast<widget*>(&search_box_), static_cast<widget*>(&list_container_),
                         static_cast<widget*>(&list_panel_), static_cast<widget*>(&scroll_bar_)})
        part->set_visible(has_layer_);
    shortcuts_bar_.set_visible(false);
    if (AnyShortcut() && has_layer_) {
        shortcuts_bar_.set_bounds({0, 44, w, 36});
        shortcuts_bar_.set_visible(true);
        shortcuts_bar_.Rebuild(lists_.shortcuts, current_theme_);
        top_area_.height += shortcuts_height;
        bounds_units_.height = top_area_.height;
    }
    screenshot_button_.set_bounds({w - 209, 8, 28, 28});
    gallery_button_.set_bounds({w - 166, 8, 28, 28});
    export_button_.set_bounds({w - 123, 8, 28, 28});
    settings_button_.set_bounds({w - 80, 8, 28, 28});
    news_button_.set_bounds({w - 37, 8, 28, 28});
    badge_button_.set_bounds({w - 19, 1, 18, 18});
    list_container_.set_bounds({1, top_area_.height, w - 20, 0});

    RECT current{};
    GetWindowRect(handle(), &current);
    place_window_units(*this, {holder().to_units_x(current.left), holder().to_units_y(current.top), w,
                               bounds_units_.height});
    const bool can_capture = has_layer_ || has_composition_;
    screenshot_button_.set_enabled(can_capture);
    export_button_.set_enabled(can_capture);
    set_visible(true);
}

void EffectsPopupWindow::Hide()
{
    // Nothing a hidden popup would show keeps ticking; the news poll goes on.
    root().kill_timer(popup_timer::flash);
    flash_ = 0.0f;
    set_visible(false);
}

void EffectsPopupWindow::OnFocusGained()
{
    if (has_layer_) {
        search_box_.inside.set_text("");
        scroll_bar_.scroll_to(0, true);
        // Every key after the hotkey is typed into the box, however soon it comes.
        set_focus_widget(&search_box_, 0);
        const uint32_t hotkey = settings_->HotkeyKey();
        held_hotkey_ = hotkey && (GetKeyState(int(hotkey)) & 0x8000) ? hotkey : 0;
        drop_character_ = false;
    }
    PlaceAtCursor();
}

void EffectsPopupWindow::PlaceAtCursor()
{
    RECT frame{};
    GetWindowRect(handle(), &frame);
    const int32_t width = holder().to_units_x(frame.right - frame.left);
    const int32_t height = holder().to_units_y(frame.bottom - frame.top);
    const point cursor = cursor_position(nullptr);
    const int32_t x = holder().to_pixels_x(cursor.x - width / 2);
    const int32_t y = holder().to_pixels_y(cursor.y - height);
    SetWindowPos(handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    keep_on_monitor(handle());
}

void EffectsPopupWindow::OnKeyDown(const event_info& info)
{
    if (info.param == VK_F5) {
        if (GetKeyState(VK_LSHIFT) & 0x8000)
            TakeScreenshot();
        else
            ShowGallery();
        return;
    }
    if (!has_layer_ && info.param != VK_SHIFT && info.param != VK_CONTROL && info.param != VK_MENU)
        Hide();
}

void EffectsPopupWindow::OnTimer(const event_info& info)
{
    switch (info.param) {
    case popup_timer::flash:
        flash_ -= 0.1f;
        if (shortcuts_bar_.is_visible(true))
            shortcuts_bar_.invalidate(false);
        if (flash_ <= 0.0f) {
            flash_ = 0.0f;
            root().kill_timer(popup_timer::flash);
        }
        root().invalidate(false);
        break;
    case popup_timer::news_poll:
        news_count_ = news_.count();
        if (news_count_ != -1) {
            root().kill_timer(popup_timer::news_poll);
            if (news_count_ > 0) {
                badge_button_.set_text(std::to_string(news_count_));
                badge_button_.set_visible(true);
            }
        }
        break;
    default:
        break;
    }
}

void EffectsPopupWindow::OnButton(const event_info& info)
{
    if (info.sender == &gallery_button_)
        ShowGallery();
    else if (info.sender == &settings_button_)
        ShowPreferences();
    else if (info.sender == &news_button_ || info.sender == &badge_button_)
        OpenNewsPage();
}

void EffectsPopupWindow::RequestCapture(uint64_t command)
{
    capture_failure_.reset();
    fire_event(this, event_id::command, command);
    if (const std::optional<CaptureFailure> failure = std::exchange(capture_failure_, std::nullopt))
        TellCaptureFailure(*failure);
}

void EffectsPopupWindow::TellCaptureFailure(CaptureFailure failure)
{
    POINT centre{};
    GetCursorPos(&centre);
    const bool copy = failure == CaptureFailure::copy;
    const std::string title(copy ? failed_copy_title : failed_save_title);
    EffectsWarningPopup warning(this, {holder().to_units_x(centre.x), holder().to_units_y(centre.y)}, current_theme_,
                                title, copy ? failed_copy_text : failed_save_text);
    warning.show_modal();
}

void EffectsPopupWindow::TakeScreenshot()
{
    // The flash tells of a screenshot written, so it waits for the host's word (CaptureStored).
    RequestCapture(capture_to_folder);
}

void EffectsPopupWindow::CaptureStored(bool written)
{
    if (!written) {
        TellCaptureFailure(CaptureFailure::save);
        return;
    }
    if (is_visible()) {
        root().set_timer(popup_timer::flash, 100, false);
        flash_ = 1.1f;
        root().invalidate(false);
    }
    if (gallery_ && gallery_->is_visible())
        gallery_->Rescan();
}

void EffectsPopupWindow::ShowExportMenu()
{
    if (!has_layer_ && !has_composition_)
        return;
    popup_menu_owner menu = popup_menu::create();
    menu->add_item(copy_item, top_level, "Copy to Clipboard");
    menu->add_item(png_item, top_level, "Save to PNG");
    menu->add_item(jpg_item, top_level, "Save to JPG");
    POINT at{};
    if (is_visible()) {
        at = {holder().to_pixels_x(export_button_.bounds().x), holder().to_pixels_y(export_button_.bounds().y + 28)};
        ClientToScreen(handle(), &at);
    } else {
        GetCursorPos(&at);
    }
    // Windows closes a tracked menu on a click elsewhere only when its owner is the foreground window,
    // which a hidden popup opened by the script verb is not; the empty message after it lets the next
    // menu open normally.
    const ForegroundLoan loan(handle());
    const int32_t choice =
        int32_t(TrackPopupMenuEx(menu->handle(), TPM_RETURNCMD | TPM_LEFTBUTTON, at.x, at.y, handle(), nullptr)) - 1;
    PostMessageW(handle(), WM_NULL, 0, 0);
    if (choice < 0)
        return;
    const uint64_t mode = choice == copy_item ? capture_to_clipboard
                          : choice == jpg_item ? capture_to_jpeg
                                               : capture_to_png;
    RequestCapture(mode);
    Hide();
}

void EffectsPopupWindow::OpenNewsPage()
{
    settings_->last_news_visit = VisitNewsPage(news_server_);
    badge_button_.set_visible(false);
    SerializeLocalSettings(true);
    TellUnreadFiles();
}

void EffectsPopupWindow::ApplyTheme(uint32_t index, bool force)
{
    if (themes_.empty())
        return;
    const EffectsTheme* theme = &themes_[index < themes_.size() ? index : 0];
    if (theme == current_theme_ && !force)
        return;
    current_theme_ = theme;
    apply_theme_to_skin(*theme);
    ThemeWidgets();
    search_icon_.reset();
    root().invalidate(false);
}

void EffectsPopupWindow::ThemeWidgets()
{
    const EffectsTheme& t = *current_theme_;
    root().properties.set_color("default_back_color", t.top_bar_color);
    screenshot_button_.properties.set_image("button_back_image", t.screenshot_image);
    export_button_.properties.set_image("button_back_image", t.export_image);
    gallery_button_.properties.set_image("button_back_image", t.gallery_image);
    settings_button_.properties.set_image("button_back_image", t.settings_image);
    news_button_.properties.set_image("button_back_image", t.news_image);
    badge_button_.properties.set_image("button_back_image", t.badge_image);

    search_box_.properties.set_color("default_back_color", t.input_back_color);
    search_box_.properties.set_color("input_border_color", t.input_back_color);
    search_box_.properties.set_color("input_font_color", t.input_text_color);
    search_box_.properties.set_color("input_font_default_text_color", t.input_hint_color);
    search_box_.inside.set_placeholder("Fx", true);

    shortcuts_bar_.properties.set_color("default_back_color", t.shortcuts_back_color);
    shortcuts_bar_.properties.set_color("default_border_color", t.shortcuts_border_color);
    shortcuts_bar_.properties.set_color("other_border_color", t.shortcuts_other_border_color);
    shortcuts_bar_.properties.set_color("separator_line_color", t.shortcuts_separator_color);
    shortcuts_bar_.properties.set_color("flash_border_color", t.flash_color);
    list_container_.properties.set_color("default_back_color", t.list_back_color);
    for (HeaderSlot* header : {&effects_header_, &presets_header_}) {
        header->text_color = t.header_text_color;
        header->properties.set_color("default_back_color", t.header_back_color);
    }
    for (auto& row : rows_) {
        row->row_text_color = t.row_text_color;
        row->row_second_color = t.row_second_color;
        row->properties.set_color("default_back_color", t.row_back_color);
        row->invalidate(false);
    }
    scroll_bar_.ApplyTheme(&t);
}

void EffectsPopupWindow::OnPaint()
{
    qzsdk::ui::renderer* r = renderer_of(root());
    if (!r || !current_theme_)
        return;
    const EffectsTheme& t = *current_theme_;
    const int32_t w = root().bounds().width;
    const int32_t h = root().bounds().height;
    r->set_fill_color(t.top_bar_color);
    r->fill_rect({0, 0, w, 44});
    r->set_fill_color(t.corner_color);
    r->fill_rect({w - 45, 0, 44, 44});
    r->set_fill_color(has_layer_ ? t.popup_body_color : t.header_back_color);
    r->fill_rect(has_layer_ ? rect{0, 44, w, h - 44} : rect{0, 44, w, 24});

    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_antialiased_outlines(false);
    r->set_line_color(t.separator_color);
    draw_pixel_line(*r, 1, 44, w - 1, 44);
    r->set_line_color(t.border_color);
    r->draw_rect({0, 0, w, h});
    if (has_layer_) {
        if (!search_icon_)
            search_icon_.reset(std::make_unique<image>());
        if (decode_strip(*search_icon_, t.search_icon))
            draw_image(root(), {12, 10}, *search_icon_);
        if (!search_box_.get_text().empty() && list_container_.bounds().height > 20) {
            r->set_line_color(t.list_separator_color);
            draw_pixel_line(*r, 1, 44, w - 1, 44);
        }
    } else {
        r->set_font("Arial", 10.0f, 0, 0);
        r->set_text_color(t.header_text_color);
        r->set_alignment(text_align::leading, paragraph_align::center);
        r->draw_text({15, h - 27, w - 30, 27}, "No layer is selected.");
    }
    if (flash_ > 0.0f) {
        r->set_line_color({t.flash_color.r, t.flash_color.g, t.flash_color.b, std::min(flash_, 1.0f)});
        r->draw_rect({0, 0, w, h});
    }
}
