#pragma once
// A screenshot of the active composition at its current time, rendered by the host.
#include "host/suite_cache.h"
#include "toolkit/ui/image_handle.h"

#include <string>
#include <string_view>

struct CaptureRequest {
    AEGP_PluginID plugin_id = 0;
    // Used when the host names no project: the one stored at the last popup command.
    AEGP_ProjectH fallback_project = nullptr;
    // Render at full resolution rather than the composition's own.
    bool full_resolution = false;
};

struct CapturedFrame {
    qzsdk::ui::image_handle image;  // empty when there is no composition
    std::string project_name;
    std::string comp_name;
};

// Every object the host makes for the capture is disposed of before this returns or throws. Throws
// qz_exception when the host's frame cannot be read or the image cannot be made.
CapturedFrame CaptureActiveFrame(SuiteCache& suites, const CaptureRequest& request);

// The bit depth code (0, 1, 2) from the script answer "8", "16" or "32"; anything else gives 2.
AEGP_ProjBitDepth BitDepthFromScriptAnswer(std::string_view answer);
