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

int64_t unix_seconds(const FILETIME& time)
{
    const int64_t ticks = int64_t(uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime);
    return (ticks - 116444736000000000LL) / 10000000;
}

// One pass over the folder: names, kinds and times come with the listing, no file is opened.
std::vector<found_file> list_images(const qzsdk::path& folder)
{
    std::vector<found_file> found;
    // An empty path would list the working folder.
    if (folder.empty())
        return found;
    WIN32_FIND_DATAW record{};
    HANDLE find = FindFirstFileExW(folder.join(qzsdk::path(L"*")).c_str(), FindExInfoBasic, &record,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return found;
    do {
        if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const qzsdk::path name(record.cFileName);
        const std::string extension = qzsdk::to_lower(name.extension());
        if (extension == "jpg" || extension == "png")
            found.push_back({unix_seconds(record.ftLastWriteTime), folder.join(name)});
    } while (FindNextFileW(find, &record));
    FindClose(find);
    return found;
}

}  // namespace

GalleryThumbnail* GalleryPopupWindow::FindThumbnail(const qzsdk::path& file) const
{
    const auto found = by_path_.find(file.wide());
    return found == by_path_.end() ? nullptr : found->second;
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
    pictured_.erase(thumbnail);
    if (const auto found = by_path_.find(thumbnail->GetPath().wide()); found != by_path_.end() && found->second == thumbnail)
        by_path_.erase(found);
    std::erase_if(thumbnails_, [thumbnail](const auto& held) { return held.get() == thumbnail; });
}

void GalleryPopupWindow::Rescan()
{
    for (GalleryThumbnail* t : selection_) {
        t->selected = false;
        t->invalidate(false);
    }
    current_ = anchor_ = nullptr;
    selection_.clear();

    std::vector<found_file> found = list_images(folder_);
    std::erase_if(found, [this](const found_file& f) {
        const auto bad = unreadable_.find(f.file.wide());
        return bad != unreadable_.end() && bad->second == f.time;
    });
    std::unordered_set<std::wstring> present;
    for (const found_file& f : found)
        present.insert(f.file.wide());
    std::vector<GalleryThumbnail*> vanished;
    for (const auto& thumbnail : thumbnails_)
        if (!present.contains(thumbnail->GetPath().wide()))
            vanished.push_back(thumbnail.get());
    for (GalleryThumbnail* gone : vanished)
        DestroyThumbnail(gone);
    std::sort(found.begin(), found.end(), [](const found_file& a, const found_file& b) { return a.time > b.time; });

    // A new column in the new order. Kept thumbnails only change parents: attaching them again would register
    // them and connect their delete buttons once more at every scan.
    column_.reset();
    column_ = std::make_unique<flow_panel>(flow_panel::vertical, false, true, false);
    column_->attach_to_window(&list_panel_, rect{0, 0, list_panel_.bounds().width, 0});
    column_->set_visible(true);
    for (const found_file& f : found) {
        GalleryThumbnail* thumbnail = FindThumbnail(f.file);
        if (thumbnail) {
            column_->add_child(thumbnail);
        } else {
            auto made = std::make_unique<GalleryThumbnail>(theme_, f.file, f.time);
            thumbnail = made.get();
            thumbnails_.push_back(std::move(made));
            by_path_[f.file.wide()] = thumbnail;
            connect_member_info(thumbnail, event_id::mouse_down, &GalleryPopupWindow::OnThumbnailMouseDown, this);
            connect_member_info(thumbnail, event_id::command, &GalleryPopupWindow::OnThumbnailCommand, this);
            connect_member_info(thumbnail, event_id::mouse_move, &GalleryPopupWindow::OnThumbnailMouseMove, this);
            connect_member_info(thumbnail, event_id::mouse_up, &GalleryPopupWindow::OnThumbnailMouseUp, this);
            thumbnail->attach_to_window(column_.get(), rect{0, 0, 173, 97});
        }
        // Adding the thumbnail added its own item to the column.
        column_->push_item(flow_item::of_gap(9));
    }
    column_->update_layout();
    scroll_bar_.set_target(column_.get());
    OnSplitChanged();
    Select(found.empty() ? nullptr : FindThumbnail(found.front().file), false);
    RequestPictures();
}

void GalleryPopupWindow::ResetThumbnails()
{
    std::vector<GalleryThumbnail*> all;
    for (const auto& thumbnail : thumbnails_)
        all.push_back(thumbnail.get());
    preview_.Rebuild({});
    for (GalleryThumbnail* thumbnail : all)
        DestroyThumbnail(thumbnail);
    unreadable_.clear();
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

void GalleryPopupWindow::Select(GalleryThumbnail* thumbnail, bool with_modifiers)
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
        for (GalleryThumbnail* t : selection_) {
            t->selected = false;
            t->invalidate(false);
        }
        selection_.clear();
    };
    if (thumbnail) {
        if (with_modifiers && GalleryCtrlHeld()) {
            set_selected(thumbnail, !thumbnail->selected);
            anchor_ = thumbnail;
        } else if (with_modifiers && GalleryShiftHeld()) {
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
        // The preview of a thumbnail just selected has no picture yet: the menu copies from the file.
        ShowContextMenu(cursor_position(&root()), false, selection_.size() == 1 ? selection_[0]->GetPath() : qzsdk::path());
        return;
    }
    if (!thumbnail->selected || GalleryCtrlHeld() || GalleryShiftHeld())
        Select(thumbnail);
    // Only the left button's release ends a press: a capture taken for another button would outlive it and
    // start a drag-out at the next move.
    if (info.param != 0)
        return;
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
