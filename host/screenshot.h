#pragma once
// The popup's screenshot commands: capture the active composition's frame and copy, save or store it.
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

// Any other command captures and does nothing with the image. The save dialogs are owned by the host's
// main window (none when null). Nothing happens without a composition. False when a picture to be saved
// (in the capture folder or where the save dialog chose) could not be written.
bool TakeScreenshot(SuiteCache& suites, const CaptureRequest& request, uint32_t command, void* owner_window,
                    const std::string& capture_folder);
