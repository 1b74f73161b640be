#include "host/screenshot.h"

#include "host/capture_file_name.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/text.h"
#include "toolkit/ui/file_dialog.h"
#include "toolkit/ui/window.h"

#include <windows.h>

namespace {

bool SaveThroughDialog(qzsdk::ui::image& picture, bool png, void* owner_window)
{
    qzsdk::ui::window owner;
    if (owner_window)
        owner.wrap_native(static_cast<HWND>(owner_window));
    const qzsdk::ui::file_filter filter =
        png ? qzsdk::ui::file_filter{"PNG files (*.png)", "*.png"} : qzsdk::ui::file_filter{"JPG files (*.jpg)", "*.jpg"};
    const std::vector<qzsdk::path> chosen = qzsdk::ui::show_file_dialog(
        owner_window ? &owner : nullptr, qzsdk::ui::file_dialog_save, png ? "Save to PNG" : "Save to JPG", {filter},
        0, "");
    return chosen.empty() ||
           picture.save_to_file(chosen.front().wide(), png ? qzsdk::ui::image_format_png : qzsdk::ui::image_format_jpeg);
}

bool StoreInCaptureFolder(qzsdk::ui::image& picture, const CapturedFrame& frame, const std::string& capture_folder)
{
    const qzsdk::path folder = qzsdk::path::from_utf8(capture_folder);
    // The user may have removed the folder since the start.
    qzsdk::create_directories(folder);
    const qzsdk::path file =
        UnusedGalleryFilePath(folder, frame.project_name, frame.comp_name, qzsdk::timestamp_text());
    return picture.save_to_file(file.wide(), qzsdk::ui::image_format_png);
}

}  // namespace

bool TakeScreenshot(SuiteCache& suites, const CaptureRequest& request, uint32_t command, void* owner_window,
                    const std::string& capture_folder)
{
    CapturedFrame frame = CaptureActiveFrame(suites, request);
    if (!frame.image)
        return true;
    qzsdk::ui::image& picture = *frame.image;
    switch (command) {
    case screenshot_to_clipboard:
        qzsdk::copy_image_to_clipboard(picture);
        break;
    case screenshot_save_jpeg:
    case screenshot_save_png:
        return SaveThroughDialog(picture, command == screenshot_save_png, owner_window);
    case screenshot_to_capture_folder:
        return StoreInCaptureFolder(picture, frame, capture_folder);
    default:
        break;
    }
    return true;
}
