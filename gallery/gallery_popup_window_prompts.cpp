// The gallery window's questions and notices, asked through the themed modal popups.
#include "gallery/gallery_popup_window.h"
#include "popup/effects_message_popup.h"
#include "popup/effects_warning_popup.h"

#include <algorithm>

using namespace qzsdk::ui;

namespace {

// A popup placed at a thumbnail near the screen's edge would open partly off it.
void KeepOnMonitor(HWND popup)
{
    RECT frame{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(popup, &frame) ||
        !GetMonitorInfoW(MonitorFromWindow(popup, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcWork;
    const LONG x = std::max(area.left, std::min(frame.left, area.right - (frame.right - frame.left)));
    const LONG y = std::max(area.top, std::min(frame.top, area.bottom - (frame.bottom - frame.top)));
    if (x != frame.left || y != frame.top)
        SetWindowPos(popup, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void GalleryPopupWindow::ReportFailure(const std::string& title, const std::string& text)
{
    RECT frame{};
    GetWindowRect(handle(), &frame);
    const point centre{holder().to_units_x((frame.left + frame.right) / 2),
                       holder().to_units_y((frame.top + frame.bottom) / 2)};
    EffectsWarningPopup warning(this, centre, theme_, title, text);
    warning.show_modal();
}

void GalleryPopupWindow::ConfirmDelete(const std::vector<GalleryThumbnail*>& list, const point* position)
{
    if (list.empty())
        return;
    const std::string text = "Are you sure you want to delete " +
                             (list.size() == 1 ? std::string("this image?")
                                               : "these " + std::to_string(list.size()) + " images?");
    // The popup's modal loop may deliver a rescan that destroys thumbnails: the files are remembered by path
    // and looked up again afterwards.
    std::vector<qzsdk::path> files;
    for (GalleryThumbnail* thumbnail : list)
        if (thumbnail)
            files.push_back(thumbnail->GetPath());
    int32_t answer = 0;
    {
        EffectsMessagePopup question(this, position ? *position : point{0, 0}, theme_, "Delete?", text);
        KeepOnMonitor(question.handle());
        answer = question.show_modal();
    }
    if (answer != 1)
        return;
    std::vector<GalleryThumbnail*> concerned;
    for (const qzsdk::path& file : files)
        if (GalleryThumbnail* thumbnail = FindThumbnail(file))
            concerned.push_back(thumbnail);
    if (!concerned.empty())
        DeleteImages(concerned);
}
