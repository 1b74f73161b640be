// The gallery window's folder scan, selection rules and thumbnail presses.
#include "gallery/gallery_popup_window.h"
#include "gallery/gallery_input.h"

#include "toolkit/platform/directory_listing.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/text.h"
#include "toolkit/ui/event_manager.h"

#include <algorithm>

using namespace qzsdk::ui;

namespace {

struct found_file {
    int64_t time;
    qzsdk::path file;
};

std::vector<found_file> list_images(const qzsdk::path& folder)
{
    std::vector<found_file> found;
    // An empty path would list the working folder.
    if (folder.empty())
        return found;
    for (const qzsdk::directory_entry& entry : qzsdk::directory_listing{folder, 0}) {
        if (entry.is_folder)
            continue;
        const std::string extension = qzsdk::to_lower(entry.relative_path.extension());
        if (extension != "jpg" && extension != "png")
            continue;
        const qzsdk::path file = folder.join(entry.relative_path);
        const qzsdk::file_info info = qzsdk::get_file_info(file);
        if (info.exists && info.kind == qzsdk::file_kind_file)
            found.push_back({info.modified, file});
    }
    return found;
}

}  // namespace

GalleryThumbnail* GalleryPopupWindow::FindThumbnail(const qzsdk::path& file) const
{
    for (const auto& thumbnail : thumbnails_)
        if (thumbnail->GetPath().wide() == file.wide())
            return thumbnail.get();
    return nullptr;
}

void GalleryPopupWindow::DestroyThumbnail(GalleryThumbnail* thumbnail)
{
    if (dragged_ == thumbnail)
        dragged_ = nullptr;
    drag_window_->Forget(thumbnail);
    if (captured_widget() == thumbnail)
        set_captured_widget(nullptr);
    std::erase(selection_, thumbnail);
    if (anchor_ == thumbnail)
        anchor_ = nullptr;
    if (current_ == thumbnail)
        current_ = nullptr;
    std::erase_if(thumbnails_, [thumbnail](const auto& held) { return held.get() == thumbnail; });
}

void GalleryPopupWindow::Rescan()
{
    // The old column goes first: destroying it detaches the thumbnails, which stay alive.
    column_.reset();
    column_ = std::make_unique<flow_panel>(flow_panel::vertical, false, true, false);
    column_->attach_to_window(&list_panel_, rect{0, 0, list_panel_.bounds().width, 0});
    column_->set_visible(true);
    current_ = anchor_ = nullptr;
    selection_.clear();

    std::vector<found_file> found = list_images(folder_);
    std::vector<GalleryThumbnail*> vanished;
    for (const auto& thumbnail : thumbnails_)
        if (std::none_of(found.begin(), found.end(),
                         [&](const found_file& f) { return f.file.wide() == thumbnail->GetPath().wide(); }))
            vanished.push_back(thumbnail.get());
    for (GalleryThumbnail* gone : vanished)
        DestroyThumbnail(gone);

    std::sort(found.begin(), found.end(), [](const found_file& a, const found_file& b) { return a.time > b.time; });
    GalleryThumbnail* newest = nullptr;
    for (const found_file& f : found) {
        GalleryThumbnail* thumbnail = FindThumbnail(f.file);
        try {
            if (thumbnail) {
                thumbnail->selected = false;
                thumbnail->invalidate(false);
            } else {
                auto made = std::make_unique<GalleryThumbnail>(theme_, f.file, f.time);
                thumbnail = made.get();
                thumbnails_.push_back(std::move(made));
                connect_member_info(thumbnail, event_id::mouse_down, &GalleryPopupWindow::OnThumbnailMouseDown, this);
                connect_member_info(thumbnail, event_id::command, &GalleryPopupWindow::OnThumbnailCommand, this);
                connect_member_info(thumbnail, event_id::mouse_move, &GalleryPopupWindow::OnThumbnailMouseMove, this);
                connect_member_info(thumbnail, event_id::mouse_up, &GalleryPopupWindow::OnThumbnailMouseUp, this);
            }
            thumbnail->attach_to_window(column_.get(), rect{0, 0, 173, 97});
            thumbnail->set_visible(true);
            // Attaching adds the thumbnail's own item to the column.
            column_->push_item(flow_item::of_gap(9));
        } catch (const std::exception&) {
            // A file that cannot be shown (unreadable, not really an image) is left out of the list.
            if (thumbnail && !thumbnail->is_attached())
                DestroyThumbnail(thumbnail);
            continue;
        }
        if (!newest)
            newest = thumbnail;
    }
    column_->update_layout();
    scroll_bar_.set_target(column_.get());
    OnSplitChanged();
    Select(newest);
}

void GalleryPopupWindow::ResetThumbnails()
{
    std::vector<GalleryThumbnail*> all;
    for (const auto& thumbnail : thumbnails_)
        all.push_back(thumbnail.get());
    preview_.Rebuild({});
    for (GalleryThumbnail* thumbnail : all)
        DestroyThumbnail(thumbnail);
    if (is_visible())
        Rescan();
}

int32_t GalleryPopupWindow::ColumnPosition(const GalleryThumbnail* thumbnail) const
{
    if (!column_ || !thumbnail)
        return -1;
    const auto& children = column_->children();
    const auto found = std::find(children.begin(), children.end(), thumbnail);
    return found == children.end() ? -1 : int32_t(found - children.begin());
}

void GalleryPopupWindow::Select(GalleryThumbnail* thumbnail)
{
    auto set_selected = [this](GalleryThumbnail* t, bool on) {
        t->selected = on;
        t->invalidate(false);
        if (on)
            selection_.push_back(t);
        else
            std::erase(selection_, t);
    };
    auto clear_all = [&] {
        for (GalleryThumbnail* t : std::vector<GalleryThumbnail*>(selection_))
            set_selected(t, false);
    };
    if (thumbnail) {
        if (GalleryCtrlHeld()) {
            set_selected(thumbnail, !thumbnail->selected);
            anchor_ = thumbnail;
        } else if (GalleryShiftHeld()) {
            clear_all();
            const int32_t to = ColumnPosition(thumbnail);
            const int32_t from = ColumnPosition(anchor_);
            if (from >= 0 && to >= 0)
                for (int32_t i = std::min(from, to); i <= std::max(from, to); ++i)
                    set_selected(static_cast<GalleryThumbnail*>(column_->children()[size_t(i)]), true);
        } else {
            clear_all();
            set_selected(thumbnail, true);
            anchor_ = thumbnail;
        }
        ScrollIntoView(thumbnail);
        current_ = thumbnail;
    }
    std::vector<qzsdk::path> paths;
    for (GalleryThumbnail* t : selection_)
        paths.push_back(t->GetPath());
    preview_.Rebuild(paths);
    UpdateButtonBadges();
}

void GalleryPopupWindow::SelectAll()
{
    for (GalleryThumbnail* t : selection_) {
        t->selected = false;
        t->invalidate(false);
    }
    selection_.clear();
    std::vector<qzsdk::path> paths;
    for (const auto& thumbnail : thumbnails_) {
        thumbnail->selected = true;
        thumbnail->invalidate(false);
        selection_.push_back(thumbnail.get());
        paths.push_back(thumbnail->GetPath());
    }
    preview_.Rebuild(paths);
    UpdateButtonBadges();
}

void GalleryPopupWindow::MoveCurrent(int32_t step)
{
    const int32_t position = ColumnPosition(current_);
    if (position < 0)
        return;
    const int32_t next = position + step;
    if (next < 0 || next >= int32_t(column_->children().size()))
        return;
    GalleryThumbnail* target = static_cast<GalleryThumbnail*>(column_->children()[size_t(next)]);
    Select(target);
    ScrollIntoView(target);
}

void GalleryPopupWindow::ScrollIntoView(GalleryThumbnail* thumbnail)
{
    if (!thumbnail)
        return;
    const int32_t position = scroll_bar_.position();
    const int32_t viewport = list_panel_.bounds().height;
    const int32_t top = thumbnail->bounds().y;
    const int32_t bottom = top + thumbnail->bounds().height;
    if (top >= position && bottom <= position + viewport)
        return;
    const int32_t to_top = std::abs(top - position);
    const int32_t to_bottom = std::abs(bottom - viewport - position);
    scroll_bar_.scroll_to(to_top < to_bottom ? top : bottom - viewport, true);
}

void GalleryPopupWindow::UpdateButtonBadges()
{
    const size_t n = selection_.size();
    const std::string badge = n <= 1 ? "" : n >= 100 ? "(99+)" : "(" + std::to_string(n) + ")";
    export_button_.SetBadge(badge);
    delete_button_.SetBadge(badge);
    copy_button_.set_visible(n == 1);
}

void GalleryPopupWindow::OnThumbnailMouseDown(const event_info& info)
{
    auto* thumbnail = static_cast<GalleryThumbnail*>(info.sender);
    if (info.param == 2) {
        if (!thumbnail->selected)
            Select(thumbnail);
        image* picture = nullptr;
        if (selection_.size() == 1 && !preview_.GetImages().empty())
            picture = preview_.GetImages()[0];
        ShowContextMenu(cursor_position(&root()), false, picture);
        return;
    }
    if (!thumbnail->selected || GalleryCtrlHeld() || GalleryShiftHeld())
        Select(thumbnail);
    set_captured_widget(thumbnail);
    press_point_ = cursor_position(nullptr);
}

void GalleryPopupWindow::OnThumbnailMouseUp(const event_info& info)
{
    if (info.param != 0)
        return;
    auto* thumbnail = static_cast<GalleryThumbnail*>(info.sender);
    if (!GalleryCtrlHeld() && !GalleryShiftHeld() && !dragged_)
        Select(thumbnail);
    if (captured_widget() == thumbnail)
        set_captured_widget(nullptr);
    if (dragged_)
        EndDrag();
}

void GalleryPopupWindow::OnThumbnailCommand(const event_info& info)
{
    auto* thumbnail = static_cast<GalleryThumbnail*>(info.sender);
    if (!thumbnail->selected)
        Select(thumbnail);
    const point origin = thumbnail->window_position();
    const int32_t x = origin.x + thumbnail->bounds().width;
    const int32_t y = origin.y + thumbnail->bounds().height - 90;
    RECT frame{};
    GetWindowRect(handle(), &frame);
    const point at{x + holder().to_units_x(frame.left), y + holder().to_units_y(frame.top)};
    ConfirmDelete(selection_, &at);
}
