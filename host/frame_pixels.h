#pragma once
// A frame the host rendered (A, R, G, B channels of 1, 2 or 4 bytes) turned into a toolkit image.
#include "host/sdk/host_types.h"
#include "toolkit/ui/image_handle.h"

#include <cstdint>

// Bytes a channel of a world type (1, 2, 3); throws qz_exception for any other type.
uint32_t BytesPerChannel(AEGP_WorldType type);

// Throws qz_exception unless the description names pixels the module can read: a known world type, a size
// of at least one pixel, and rows at least as long as their pixels.
void CheckFrame(const PF_EffectWorld& frame);

// Copies the rendered rows into another world of the same type and size.
void CopyFrameRows(const PF_EffectWorld& from, PF_EffectWorld& to);

// Puts the first channel (alpha) of every rendered pixel back into the converted frame: a colour conversion
// must never change alpha.
void RestoreAlpha(const PF_EffectWorld& rendered, PF_EffectWorld& converted);

// A straight (not premultiplied) BGRA image of the frame's size, the pixels converted to 8 bits on the
// worker pool, so encoding keeps them byte for byte.
qzsdk::ui::image_handle ImageFromFrame(const PF_EffectWorld& frame);

// The width that shows the pixels square: width x ratio, truncated, at least 1 and never widened past
// max_capture_width. A ratio with a zero or negative part leaves the width as it is.
constexpr uint32_t max_capture_width = 32768;
uint32_t AspectCorrectedWidth(uint32_t width, A_Ratio ratio);
