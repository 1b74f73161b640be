// The gallery window's actions on image files: saving, copying, deleting, revealing and dragging out.
#include "gallery/gallery_info_popup.h"
#include "gallery/gallery_popup_window.h"
#include "gallery/gallery_save_job.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/shell.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/file_dialog.h"
#include "toolkit/ui/file_drop_block.h"
#include "toolkit/ui/qz_data_object.h"
#include "toolkit/ui/qz_drop_source.h"

#include <algorithm>

using namespace qzsdk::ui;

namespace {

constexpr int32_t drag_threshold = 6;

std::vector<file_filter> filters_for(uint32_t mode)
{
    const file_filter png{"PNG files (*.png)", "*.png"};
    const file_filter jpg{"JPG files (*.jpg)", "*.jpg"};
    if (mode == 1)
        return {png};
    if (mode == 2)
        return {jpg};
    return {png, jpg};
}

// Releases a COM object made with one reference.
template <class T>
struct released {
    T* object;
    ~released()
    {
        if (object)
            object->Release();
    }
};

}  // namespace

void GalleryPopupWindow::SaveImages(const std::vector<GalleryThumbnail*>& list, uint32_t mode)
{
    if (list.empty())
        return;
    if (list.size() == 1) {
        const qzsdk::path source = list[0]->GetPath();
        const std::string extension = source.extension();
        const std::string stem = source.file_name(false).to_utf8();
        const char* title = mode == 1 ? "Save to PNG" : mode == 2 ? "Save to JPG" : "Save to File";
        const std::string proposed =
            mode == 1 ? stem + ".png" : mode == 2 ? stem + ".jpg" : source.file_name().to_utf8();
        const std::vector<qzsdk::path> chosen = show_file_dialog(
            owner(), file_dialog_save, title, filters_for(mode), mode == 0 && extension != "png" ? 1 : 0, proposed);
        // The dialog's owner, the host's window, is active when it closes: the user's next keys and clicks
        // belong to the gallery they exported from, not to the host (Delete there would delete a layer).
        if (is_visible())
            SetForegroundWindow(handle());
        if (chosen.empty())
            return;
        uint32_t format = mode;
        if (mode == 0) {
            const std::string typed = chosen[0].extension();
            format = typed == "jpg" ? image_format_jpeg : typed == "png" ? image_format_png : 0;
        }
        if (!ReencodeImage(source, chosen[0], format))
            ReportFailure("Failed to Save", "Unable to save the image to " + chosen[0].to_utf8() + ".");
        return;
    }

    // The dialog's loop runs the picture timer, which can destroy a thumbnail whose picture failed: only paths
    // cross it, and the files whose thumbnails are gone afterwards are left out.
    std::vector<qzsdk::path> sources;
    for (GalleryThumbnail* thumbnail : list)
        sources.push_back(thumbnail->GetPath());
    const qzsdk::path folder = show_folder_dialog(this, "Select Folder", qzsdk::path());
    if (folder.empty())
        return;
    SaveJob job;
    job.mode = mode;
    for (qzsdk::path& source : sources)
        if (FindThumbnail(source))
            job.sources.push_back(std::move(source));
    if (job.sources.empty())
        return;
    PlanSaveTargets(job, folder);
    {
        // Gone when the batch ends, also when the pool rethrows a worker's exception.
        GalleryInfoPopup info(this, theme_, "Saving images...");
        info.set_visible(true);
        try {
            qzsdk::thread_pool::instance().run(uint32_t(job.sources.size()),
                                               [&job](const qzsdk::thread_worker_data& range) { SaveWorker(job, range); });
        } catch (const std::exception&) {
            job.failures = std::max<uint32_t>(job.failures, 1);
        }
        info.set_visible(false);
    }
    if (job.failures > 0)
        ReportFailure("Failed to Save", "Unable to save " + std::to_string(job.failures.load()) + " of " +
                                            std::to_string(job.sources.size()) + " images.");
}

void GalleryPopupWindow::CopyImage(const qzsdk::path& file)
{
    // From the file at full size: a preview cell holds a picture decoded at its own size, or none yet.
    DecodedCapture full = DecodeCaptureFile(file, [](PixelSize size) { return size; });
    if (!full.picture || !qzsdk::copy_image_to_clipboard(*full.picture))
        ReportFailure("Failed to Copy", "Unable to copy " + file.file_name().to_utf8() + " to the clipboard.");
}

void GalleryPopupWindow::DeleteImages(std::vector<GalleryThumbnail*> list)
{
    const int32_t child_count = column_ ? int32_t(column_->children().size()) : 0;
    int32_t lowest = child_count;
    for (GalleryThumbnail* thumbnail : list)
        if (const int32_t position = ColumnPosition(thumbnail); position >= 0)
            lowest = std::min(lowest, position);
    const int32_t left = child_count - int32_t(list.size());
    const int32_t target = left < 1 ? -1 : lowest < left ? lowest : left - 1;

    std::vector<qzsdk::path> failed;
    for (GalleryThumbnail* thumbnail : list) {
        if (!thumbnail)
            continue;
        const qzsdk::path file = thumbnail->GetPath();
        preview_.Rebuild({});
        if (!qzsdk::remove_file(file) && qzsdk::get_file_info(file).exists)
            failed.push_back(file);
        // Every entry of the list with this path goes, so later entries never point at a destroyed one.
        for (GalleryThumbnail*& entry : list)
            if (entry && entry != thumbnail && entry->GetPath().wide() == file.wide())
                entry = nullptr;
        while (GalleryThumbnail* same = FindThumbnail(file))
            DestroyThumbnail(same);
    }
    Rescan();
    if (target >= 0 && column_ && target < int32_t(column_->children().size()))
        Select(static_cast<GalleryThumbnail*>(column_->children()[size_t(target)]), false);
    if (!failed.empty())
        ReportFailure("Failed to Delete", "Unable to delete " + failed[0].file_name().to_utf8() +
                                              (failed.size() > 1 ? " and " + std::to_string(failed.size() - 1) +
                                                                       " more images."
                                                                 : "."));
}

void GalleryPopupWindow::OnThumbnailMouseMove(const event_info& info)
{
    auto* thumbnail = static_cast<GalleryThumbnail*>(info.sender);
    // Nothing selected (a Ctrl+click just took the last one away): nothing to drag, so no drag window either.
    if (captured_widget() != thumbnail || dragged_ || selection_.empty())
        return;
    const point cursor = cursor_position(nullptr);
    if (std::abs(cursor.x - press_point_.x) < drag_threshold && std::abs(cursor.y - press_point_.y) < drag_threshold)
        return;
    dragged_ = thumbnail;
    drag_window_->Setup(selection_, thumbnail, press_point_, theme_);
    // Shown without taking the activation from the gallery.
    ShowWindow(drag_window_->handle(), SW_SHOWNOACTIVATE);
    drag_window_->set_visible(true);
    set_timer(&root(), drag_timer_id, 50, false);
    DragFilesOut(std::vector<GalleryThumbnail*>(selection_));
    kill_timer(&root(), drag_timer_id);
    set_captured_widget(nullptr);
    if (dragged_)
        EndDrag();
}

void GalleryPopupWindow::EndDrag()
{
    drag_window_->set_visible(false);
    dragged_ = nullptr;
}

void GalleryPopupWindow::OnDragTimer()
{
    if (!dragged_)
        return;
    drag_window_->Follow(cursor_position(nullptr));
}

void GalleryPopupWindow::DragFilesOut(const std::vector<GalleryThumbnail*>& list)
{
    // A file deleted behind the gallery's back is not offered to the drop target.
    std::vector<qzsdk::path> files;
    for (GalleryThumbnail* thumbnail : list)
        if (thumbnail && qzsdk::get_file_info(thumbnail->GetPath()).exists)
            files.push_back(thumbnail->GetPath());
    if (files.empty())
        return;
    HGLOBAL block = make_file_drop_block(files);
    if (!block)
        return;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    {
        released<QZDropSource> source{QZDropSource::create()};
        released<QZDataObject> data{QZDataObject::create(&format, &medium, 1)};
        DWORD effect = DROPEFFECT_NONE;
        DoDragDrop(data.object, source.object, DROPEFFECT_COPY, &effect);
    }
    ReleaseStgMedium(&medium);
}
