#pragma once
// Decodes the gallery's image files off the user-interface thread, at the size they are shown: WIC's scaler
// runs at decode time, so a full-size bitmap is made only when the full size is asked for. A PNG's structure
// is checked before the decoder sees it; a file that fails is treated like any unreadable file.
#include "toolkit/platform/path.h"
#include "toolkit/ui/image.h"

#include <cstdint>
#include <functional>
#include <memory>

struct DecodedCapture {
    std::unique_ptr<qzsdk::ui::image> picture;  // null when the file could not be decoded
    uint32_t full_width = 0;
    uint32_t full_height = 0;
};

struct PixelSize {
    uint32_t width = 0;
    uint32_t height = 0;
    bool operator==(const PixelSize&) const = default;
};

// Chooses the decoded size from the file's full size.
using SizeChooser = std::function<PixelSize(PixelSize full)>;

// Fits the full size inside the box, aspect kept, never larger than the full size; at least one pixel.
PixelSize FitInside(PixelSize full, PixelSize box);

DecodedCapture DecodeCaptureFile(const qzsdk::path& file, const SizeChooser& size);
// Encoded bytes (PNG or JPEG) already in memory; the chooser may refuse a size by returning {0, 0}.
DecodedCapture DecodeCaptureBytes(const uint8_t* bytes, size_t length, const SizeChooser& size);
