// The gallery window's pictures: which thumbnails and preview cells the loader makes, and when they are dropped.
#include "gallery/gallery_popup_window.h"

#include <algorithm>

using namespace qzsdk::ui;

namespace {

// Thumbnails within this many viewports above and below the view get their pictures ahead of time; those
// beyond twice as many lose them.
constexpr int32_t screens_ahead = 1;
constexpr int32_t thumbnail_gap = 9;

}  // namespace

void GalleryPopupWindow::OnTimer(const event_info& info)
{
    if (info.param == drag_timer_id) {
        OnDragTimer();
    } else if (info.param == picture_timer_id) {
        ApplyPictures();
        RequestPictures();
    }
}

void GalleryPopupWindow::RequestPictures()
{
    if (!loader_ || !column_)
        return;
    std::vector<PictureLoader::Request> wanted;
    preview_.WantedPictures(wanted);
    const std::vector<widget*>& children = column_->children();
    const int32_t viewport = std::max(list_panel_.bounds().height, 1);
    const int32_t top = -column_->bounds().y;
    if (!children.empty()) {
        const int32_t pitch = std::max(children.front()->bounds().height + thumbnail_gap, 1);
        const int32_t count = int32_t(children.size());
        const int32_t first = std::clamp(top / pitch, 0, count - 1);
        const int32_t last = std::clamp((top + viewport) / pitch, 0, count - 1);
        const int32_t ahead = (viewport / pitch + 1) * screens_ahead;
        auto want = [&](int32_t index) {
            auto* thumbnail = static_cast<GalleryThumbnail*>(children[size_t(index)]);
            if (!thumbnail->picture)
                wanted.push_back({PictureLoader::Purpose::thumbnail, thumbnail->GetPath(), thumbnail->Time(), {}, 0});
        };
        // The view first, then outwards from it, the next screen before the previous one.
        for (int32_t i = first; i <= last; ++i)
            want(i);
        for (int32_t step = 1; step <= ahead; ++step) {
            if (last + step < count)
                want(last + step);
            if (first - step >= 0)
                want(first - step);
        }
    }
    const int32_t keep = viewport * (2 * screens_ahead + 1);
    for (auto held = pictured_.begin(); held != pictured_.end();) {
        GalleryThumbnail* thumbnail = *held;
        const int32_t y = thumbnail->bounds().y;
        if (y + thumbnail->bounds().height < top - keep || y > top + viewport + keep) {
            thumbnail->DropPicture();
            held = pictured_.erase(held);
        } else {
            ++held;
        }
    }
    loader_->Want(std::move(wanted));
}

bool GalleryPopupWindow::ApplyPictures()
{
    if (!loader_)
        return false;
    std::vector<PictureLoader::Result> results = loader_->TakeResults();
    for (PictureLoader::Result& result : results) {
        if (result.request.purpose != PictureLoader::Purpose::thumbnail) {
            preview_.ApplyPicture(result);
            continue;
        }
        GalleryThumbnail* thumbnail = FindThumbnail(result.request.file);
        if (!thumbnail || thumbnail->Time() != result.request.time)
            continue;
        if (result.decoded.picture) {
            thumbnail->SetPicture(std::move(result.decoded.picture));
            pictured_.insert(thumbnail);
        } else {
            OnPictureFailed(thumbnail);
        }
    }
    return !results.empty();
}

void GalleryPopupWindow::OnPictureFailed(GalleryThumbnail* thumbnail)
{
    // A file that cannot be shown (unreadable, damaged, not really an image) is left out of the list.
    unreadable_[thumbnail->GetPath().wide()] = thumbnail->Time();
    const bool was_selected = thumbnail->selected;
    if (was_selected)
        preview_.Rebuild({});
    DestroyThumbnail(thumbnail);
    column_->update_layout();
    OnSplitChanged();
    if (was_selected && selection_.empty() && !column_->children().empty())
        Select(static_cast<GalleryThumbnail*>(column_->children().front()), false);
    else if (was_selected)
        Select(nullptr, false);
}

void GalleryPopupWindow::ReleaseThumbnailCache()
{
    // The old loader finishes what it is making and closes the store before the new one exists.
    loader_.reset();
    loader_ = std::make_unique<PictureLoader>(cache_file_, loader_threads);
}

void GalleryPopupWindow::SettlePictures()
{
    for (;;) {
        RequestPictures();
        loader_->WaitUntilIdle();
        if (!ApplyPictures())
            return;
    }
}
