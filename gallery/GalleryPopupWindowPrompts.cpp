// The gallery window's questions and notices, asked through the themed modal popups.
#include "gallery/GalleryPopupWindow.h"
#include "toolkit/platform/text.h"

using namespace qzsdk::ui;

void GalleryPopupWindow::ReportFailure(const std::string& title, const std::string& text)
{
    MessageBoxW(handle(), qzsdk::utf8_to_wide(text).c_str(), qzsdk::utf8_to_wide(title).c_str(), MB_OK);
}

void GalleryPopupWindow::ConfirmDelete(const std::vector<GalleryThumbnail*>& list, const point* position)
{
    if (list.empty())
        return;
    const std::string text = "Are you sure you want to delete " +
                             (list.size() == 1 ? std::string("this image?")
                                               : "these " + std::to_string(list.size()) + " images?");
    const std::vector<GalleryThumbnail*> concerned = list;
    int32_t answer = 0;
    {
        (void)position;
        answer = MessageBoxW(handle(), qzsdk::utf8_to_wide(text).c_str(), L"Delete?", MB_YESNO) == IDYES ? 1 : 0;
    }
    if (answer == 1)
        DeleteImages(concerned);
}

