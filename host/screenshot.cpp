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

}  // namespace

bool StoreInCaptureFolder(qzsdk::ui::image& picture, const CapturedFrame& frame, const std::string& capture_folder,
                          CaptureWriter& writer)
{
    const qzsdk::path folder = qzsdk::path::from_utf8(capture_folder);
    // Never the host's working folder, where the gallery would not find it.
    if (!folder.is_absolute())
        return false;
    // The user may have removed the folder since the start.
    qzsdk::create_directories(folder);
    const qzsdk::path file =
        UnusedGalleryFilePath(folder, frame.project_name, frame.comp_name, qzsdk::timestamp_text(),
                              [&writer](const qzsdk::path& taken) { return writer.IsPending(taken); });
    std::vector<uint8_t> pixels = picture.straight_pixels();
    if (pixels.empty())
        return false;
    writer.Start(std::move(pixels), picture.width(), picture.height(), file);
    return true;
}

ScreenshotOutcome TakeScreenshot(SuiteCache& suites, const CaptureRequest& request, uint32_t command,
                                 void* owner_window, const std::string& capture_folder, CaptureWriter& writer)
{
    CapturedFrame frame = CaptureActiveFrame(suites, request);
    if (!frame.image)
        return ScreenshotOutcome::nothing;
    qzsdk::ui::image& picture = *frame.image;
    switch (command) {
    case screenshot_to_clipboard:
        return qzsdk::copy_image_to_clipboard(picture) ? ScreenshotOutcome::done : ScreenshotOutcome::copy_failed;
    case screenshot_save_jpeg:
    case screenshot_save_png:
        return SaveThroughDialog(picture, command == screenshot_save_png, owner_window) ? ScreenshotOutcome::done
                                                                                         : ScreenshotOutcome::save_failed;
    case screenshot_to_capture_folder:
        return StoreInCaptureFolder(picture, frame, capture_folder, writer) ? ScreenshotOutcome::storing
                                                                            : ScreenshotOutcome::save_failed;
    default:
        return ScreenshotOutcome::done;
    }
}
