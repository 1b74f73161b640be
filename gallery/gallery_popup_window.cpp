#include "gallery/gallery_popup_window.h"

#include "gallery/gallery_input.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/system_cursors.h"
#include "toolkit/ui/widget_painting.h"

#include <ole2.h>

#include <cmath>

using namespace qzsdk::ui;

namespace {

constexpr uint16_t gallery_window_style = 111;
constexpr int32_t side_minimum = 100;

// Only an absolute folder is listed: a relative one would be read against whatever the host's working folder is.
qzsdk::path folder_from_setting(const std::string& text)
{
    qzsdk::path folder = qzsdk::path::from_utf8(text);
    return folder.is_absolute() ? folder : qzsdk::path();
}

void theme_labelled_button(GalleryButton& button, const embedded_image& icon, const color& text,
                           const color& hover, const color& pressed)
{
    button.properties.set_image("button_back_image", icon);
    button.properties.set_color("button_font_color", text);
    button.properties.set_color("button_font_color_hover", hover);
    button.properties.set_color("button_font_color_pressed", pressed);
}

}  // namespace

GalleryPopupWindow::GalleryPopupWindow(window* popup, const EffectsTheme* theme, const std::string& capture_folder,
                                       qzsdk::path cache_file)
    : theme_(theme), capture_folder_(&capture_folder), cache_file_(std::move(cache_file))
{
    ole_result_ = OleInitialize(nullptr);
    ReleaseThumbnailCache();
    folder_ = folder_from_setting(*capture_folder_);
    set_owner(popup ? popup->owner() : nullptr);
    create("Zephrin Image Gallery", rect{0, 0, default_size_.x, default_size_.y}, gallery_window_style);
    holder().minimum_width = minimum_size_.x;
    holder().minimum_height = minimum_size_.y;

    connect_member(&root(), event_id::paint, &GalleryPopupWindow::OnPaint, this);
    connect_member_info(&root(), event_id::mouse_down, &GalleryPopupWindow::OnMouseDown, this);
    connect_member(&root(), event_id::mouse_double_click, &GalleryPopupWindow::OnDoubleClick, this);
    connect_member(&root(), event_id::mouse_up, &GalleryPopupWindow::OnMouseUp, this);
    connect_member(&root(), event_id::mouse_move, &GalleryPopupWindow::OnMouseMove, this);
    connect_member_info(&root(), event_id::timer, &GalleryPopupWindow::OnTimer, this);
    connect_member(&root(), event_id::mouse_leave, &GalleryPopupWindow::RestoreCursor, this);
    connect_member(this, event_id::focus_lost, &GalleryPopupWindow::RestoreCursor, this);
    connect_member(this, event_id::hidden, &GalleryPopupWindow::RestoreCursor, this);
    connect_member_info(this, event_id::key_down, &GalleryPopupWindow::OnKeyDown, this);
    connect_member_info(this, event_id::char_input, &GalleryPopupWindow::OnChar, this);
    connect_member(this, event_id::resized, &GalleryPopupWindow::OnResized, this);
    connect_member(&preview_, event_id::resized, &GalleryPreview::Relayout, &preview_);
    connect_member(&split_, event_id::value_changed, &GalleryPopupWindow::OnSplitChanged, this);
    for (generic_button* button : std::initializer_list<generic_button*>{
             &close_button_, &maximise_button_, &swap_button_, &export_button_, &delete_button_, &copy_button_})
        connect_member_info(button, event_id::activated, &GalleryPopupWindow::OnButtonClicked, this);
    preview_.on_cell_pressed = [this](image_panel& cell, const event_info& info) { OnPreviewMouseDown(cell, info); };

    BuildWidgets();
    drag_window_ = std::make_unique<GalleryThumbnailDrag>(this);
    center();
    ApplyTheme();
}

GalleryPopupWindow::~GalleryPopupWindow()
{
    if (captured_widget() && captured_widget()->owner_window() == this)
        set_captured_widget(nullptr);
    loader_.reset();
    drag_window_.reset();
    dragged_ = anchor_ = current_ = nullptr;
    selection_.clear();
    preview_.Rebuild({});
    column_.reset();
    thumbnails_.clear();
    if (SUCCEEDED(ole_result_))
        OleUninitialize();
}

void GalleryPopupWindow::BuildWidgets()
{
    const rect client = get_client_rect();
    const int32_t w = client.width;
    const int32_t h = client.height;
    close_button_.attach_to_window(&root(), rect{w - 30, 10, 20, 20});
    maximise_button_.attach_to_window(&root(), rect{w - 60, 10, 20, 20});
    MakeButtonTransparent(close_button_);
    MakeButtonTransparent(maximise_button_);

    int32_t x = 10;
    for (auto [button, label] : {std::pair<GalleryButton*, const char*>{&export_button_, "Export"},
                                 {&delete_button_, "Delete"},
                                 {&copy_button_, "Copy"}}) {
        button->attach_to_window(&root(), rect{x, 11, 90, 18});
        button->set_text(label);
        button->properties.set_string("button_font_name", "Arial");
        button->properties.set_scalar("button_font_weight", int32_t(0));
        button->properties.set_scalar("button_font_size", 12.0f);
        MakeButtonTransparent(*button);
        x += 90;
    }

    split_.attach_to_window(&root(), rect{8, 40, w - 16, h - 48});
    split_.set_ratio(0.25f);
    split_.properties.set_scalar("splitpanel_split_thickness", int32_t(3));
    split_.properties.set_color("default_back_color", color{0, 0, 0, 0});
    // Set after attaching, which clears the keep-size flags: the list keeps its extent when the window is resized.
    split_.first_min = split_.second_min = side_minimum;
    split_.first_keep_size = true;

    list_panel_.attach_to_window(&split_.first_panel, rect{0, 0, 175, 415});
    scroll_bar_.attach_to_window(&split_.first_panel, rect{175, 24, 18, 391});
    swap_button_.attach_to_window(&split_.first_panel, rect{175, 0, 18, 24});
    const rect second = split_.second_panel.bounds();
    preview_.attach_to_window(&split_.second_panel, rect{0, 0, second.width, second.height});
    preview_.theme = theme_;
    for (widget* shown : std::initializer_list<widget*>{&close_button_, &maximise_button_, &export_button_,
                                                        &delete_button_, &copy_button_, &split_, &list_panel_,
                                                        &scroll_bar_, &swap_button_, &preview_})
        shown->set_visible(true);
    copy_button_.set_visible(false);
}

void GalleryPopupWindow::ShowGallery(const EffectsTheme* theme)
{
    if (theme != theme_) {
        theme_ = theme;
        ApplyTheme();
    }
    folder_ = folder_from_setting(*capture_folder_);
    Rescan();
    set_visible(true);
    set_timer(&root(), picture_timer_id, 40, false);
}

void GalleryPopupWindow::Hide()
{
    kill_timer(&root(), picture_timer_id);
    set_visible(false);
}

void GalleryPopupWindow::ApplyTheme()
{
    if (!theme_)
        return;
    const EffectsTheme& t = *theme_;
    list_panel_.properties.set_color("default_back_color", t.gallery_list_back_color);
    scroll_bar_.ApplyTheme(theme_);
    preview_.theme = theme_;
    preview_.ApplyTheme();
    split_.properties.set_color("splitpanel_back_color", t.gallery_split_back_color);
    split_.properties.set_color("splitpanel_mark_color", t.gallery_split_mark_color);
    split_.properties.set_color("splitpanel_border_color_1", t.gallery_split_border_color);
    split_.properties.set_color("splitpanel_border_color_2", t.gallery_split_border_color);
    split_.first_panel.properties.set_color("default_back_color", t.gallery_preview_back_color);
    split_.second_panel.properties.set_color("default_back_color", t.gallery_swap_button_color);
    swap_button_.properties.set_image("button_back_image", t.gallery_swap_image);
    theme_labelled_button(export_button_, t.gallery_export_image, t.gallery_button_text_color,
                          t.gallery_button_hover_text_color, t.gallery_button_hover_text_color);
    theme_labelled_button(delete_button_, t.gallery_delete_image, t.gallery_button_text_color,
                          t.gallery_button_hover_text_color, t.gallery_button_hover_text_color);
    theme_labelled_button(copy_button_, t.gallery_copy_image, t.gallery_button_text_color,
                          t.gallery_button_hover_text_color, t.warning_button_color);
    swap_button_.properties.set_color("button_color_normal", t.gallery_swap_button_color);
    swap_button_.properties.set_color("button_color_hover", t.gallery_swap_button_color);
    swap_button_.properties.set_color("button_border_color_hover", t.gallery_swap_border_color);
    swap_button_.properties.set_color("button_border_color_normal", t.gallery_swap_border_color);
    close_button_.properties.set_image("button_back_image", t.gallery_close_image);
    maximise_button_.properties.set_image("button_back_image",
                                          holder().maximized ? t.restore_image : t.maximise_image);
    for (auto& thumbnail : thumbnails_)
        thumbnail->SetTheme(theme_);
    root().invalidate(false);
}

void GalleryPopupWindow::OnPaint()
{
    qzsdk::ui::renderer* r = renderer();
    if (!r || !theme_)
        return;
    const rect client = get_client_rect();
    const rect whole{0, 0, client.width, client.height};
    r->set_fill_color(theme_->gallery_back_color);
    r->fill_rect(whole);
    r->set_fill_color(theme_->gallery_title_color);
    r->fill_rect(rect{0, 0, client.width, title_bar_height});
    if (!holder().maximized) {
        r->set_line_color(theme_->gallery_border_color);
        r->set_stroke(1.0f, stroke_mode::solid);
        r->set_antialiased_outlines(false);
        r->draw_rect(whole);
    }
}

void GalleryPopupWindow::RestoreCursor()
{
    SetCursor(system_cursors[cursor_arrow]);
}
