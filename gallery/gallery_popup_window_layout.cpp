// The gallery window's moving, maximising, layout, keys and title-strip buttons.
#include "gallery/gallery_popup_window.h"
#include "gallery/gallery_input.h"

#include "toolkit/ui/event_manager.h"

#include <algorithm>
#include <cmath>

using namespace qzsdk::ui;

void GalleryPopupWindow::OnMouseDown(const event_info& info)
{
    if (holder().maximized || info.param != 0 || cursor_position(&root()).y >= title_bar_height)
        return;
    move_.begin(*this);
}

void GalleryPopupWindow::OnMouseMove()
{
    if (holder().maximized || !move_.follow(*this))
        return;
    const rect client = get_client_rect();
    UpdateLayout(client.width, client.height);
}

void GalleryPopupWindow::OnMouseUp()
{
    if (captured_widget())
        set_captured_widget(nullptr);
}

void GalleryPopupWindow::OnDoubleClick()
{
    if (cursor_position(&root()).y >= title_bar_height)
        return;
    ToggleMaximised();
    if (theme_)
        maximise_button_.properties.set_image("button_back_image",
                                              holder().maximized ? theme_->restore_image : theme_->maximise_image);
}

void GalleryPopupWindow::ToggleMaximised()
{
    const bool maximise = !holder().maximized;
    holder().maximized = maximise;
    SendMessageW(handle(), WM_SYSCOMMAND, maximise ? SC_MAXIMIZE : SC_RESTORE, 0);
}

void GalleryPopupWindow::OnResized()
{
    if (theme_)
        maximise_button_.properties.set_image("button_back_image",
                                              holder().maximized ? theme_->restore_image : theme_->maximise_image);
    const rect client = get_client_rect();
    UpdateLayout(client.width, client.height);
}

float GalleryPopupWindow::MiddleFraction() const
{
    const float column_height = float(std::max(column_->bounds().height, 1));
    return (float(scroll_bar_.position()) + float(list_panel_.bounds().height) / 2) / column_height;
}

void GalleryPopupWindow::RestoreMiddle(float fraction)
{
    const float column_height = float(column_->bounds().height);
    const float viewport = float(list_panel_.bounds().height);
    const int32_t offset = int32_t(-(column_height * fraction - viewport / 2 + 0.5f));
    scroll_bar_.scroll_to(std::clamp(-offset, 0, std::max(scroll_bar_.range(), 0)), true);
}

void GalleryPopupWindow::UpdateLayout(int32_t width, int32_t height)
{
    if (!column_)
        return;
    close_button_.set_bounds(rect{width - 30, 10, 20, 20});
    maximise_button_.set_bounds(rect{width - 60, 10, 20, 20});
    const float fraction = MiddleFraction();
    split_.set_bounds(rect{8, 40, width - 16, height - 48});
    RestoreMiddle(fraction);
    root().invalidate(false);
}

void GalleryPopupWindow::OnSplitChanged()
{
    // A side narrower than its scroll bar (a panel smaller than both minimums) gives empty widgets, never
    // negative ones: a thumbnail of negative height would shrink the column's pitch to nothing.
    const rect side = split_.first_panel.bounds();
    const int32_t w = std::max(side.width, 19);
    const int32_t h = std::max(side.height, 24);
    if (list_on_first_side_) {
        list_panel_.set_bounds(rect{0, 0, w - 18, h});
        scroll_bar_.set_bounds(rect{w - 18, 24, 18, h - 24});
        swap_button_.set_bounds(rect{w - 18, 0, 18, 24});
    } else {
        list_panel_.set_bounds(rect{19, 0, w - 19, h});
        scroll_bar_.set_bounds(rect{0, 24, 18, h - 24});
        swap_button_.set_bounds(rect{0, 0, 18, 24});
    }
    const rect other = split_.second_panel.bounds();
    preview_.set_bounds(rect{0, 0, other.width, other.height});
    if (!column_)
        return;
    const float fraction = MiddleFraction();
    const int32_t thumb_width = w - 19;
    for (auto& thumbnail : thumbnails_)
        thumbnail->set_bounds(rect{thumbnail->bounds().x, thumbnail->bounds().y, thumb_width,
                                   int32_t(float(thumb_width) * 0.5625f)});
    column_->set_bounds(rect{0, column_->bounds().y, list_panel_.bounds().width, column_->bounds().height});
    column_->update_layout();
    RestoreMiddle(fraction);
    root().invalidate(false);
}

void GalleryPopupWindow::SwapSides()
{
    list_on_first_side_ = !list_on_first_side_;
    std::swap(split_.first_side, split_.second_side);
    std::swap(split_.first_min, split_.second_min);
    // The list keeps its extent on a resize wherever it stands.
    std::swap(split_.first_keep_size, split_.second_keep_size);
    // Places the bar at the mirrored ratio, clamps it and lays the sides out, which announces the change.
    split_.set_ratio(1.0f - split_.ratio());
}

void GalleryPopupWindow::OnButtonClicked(const event_info& info)
{
    if (info.sender == &close_button_)
        Hide();
    else if (info.sender == &maximise_button_)
        ToggleMaximised();
    else if (info.sender == &swap_button_)
        SwapSides();
    else if (info.sender == &export_button_)
        ShowExportMenu();
    else if (info.sender == &delete_button_) {
        if (!selection_.empty())
            ConfirmDelete(selection_, nullptr);
    } else if (info.sender == &copy_button_) {
        // Also while the cell's picture is still being made.
        if (preview_.Paths().size() == 1)
            CopyImage(preview_.Paths()[0]);
    }
}

void GalleryPopupWindow::OnKeyDown(const event_info& info)
{
    switch (info.param) {
    case VK_ESCAPE:
        Hide();
        break;
    case VK_UP:
        MoveCurrent(-1);
        break;
    case VK_DOWN:
        MoveCurrent(1);
        break;
    case VK_DELETE:
        if (!selection_.empty())
            ConfirmDelete(selection_, nullptr);
        break;
    case 'A':
        if (GalleryCtrlHeld()) {
            SelectAll();
        } else {
            preview_.arrangement = preview_.arrangement == 0 ? 1 : 0;
            preview_.Rebuild(std::vector<qzsdk::path>(preview_.Paths()));
        }
        break;
    case 'I':
        preview_.SetTitlesVisible(!preview_.titles_visible);
        break;
    case 'Z':
        preview_.ToggleAllActualSize();
        break;
    default:
        break;
    }
}

void GalleryPopupWindow::OnChar(const event_info& info)
{
    if (info.param == '+' || info.param == '=')
        preview_.ZoomCellUnderCursor(true);
    else if (info.param == '-')
        preview_.ZoomCellUnderCursor(false);
}
