#pragma once
// The popup's screenshot commands: capture the active composition's frame and copy, save or store it.
#include "host/capture_writer.h"
#include "host/frame_capture.h"

#include <cstdint>
#include <string>

// The command numbers the popup fires with its event 44.
enum PopupScreenshotCommand : uint32_t {
    screenshot_to_clipboard = 0,
    screenshot_save_jpeg = 1,
    screenshot_save_png = 2,
    screenshot_to_capture_folder = 3,
    popup_rebuild_effects = 5,
};

enum class ScreenshotOutcome {
    nothing,      // no composition: nothing was captured
    done,         // copied, saved, or the save dialog cancelled
    storing,      // being written into the capture folder by the writer
    save_failed,  // not saved, or no absolute capture folder to store it in
    copy_failed,  // the clipboard could not be had
};

// Any other command captures and does nothing with the image. The save dialogs are owned by the host's
// main window (none when null).
ScreenshotOutcome TakeScreenshot(SuiteCache& suites, const CaptureRequest& request, uint32_t command,
                                 void* owner_window, const std::string& capture_folder, CaptureWriter& writer);

// Hands the picture to the writer under a free name of the capture folder ("<project>_<comp>_<local
// time>.png"), never one a file or an unfinished write holds. False when the folder is not absolute or the
// pixels cannot be read.
bool StoreInCaptureFolder(qzsdk::ui::image& picture, const CapturedFrame& frame, const std::string& capture_folder,
                          CaptureWriter& writer);
