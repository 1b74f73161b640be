#include "toolkit/ui/image_strip.h"

#include <algorithm>

namespace qzsdk::ui {

bool decode_strip(image& picture, const embedded_image& value)
{
    if (picture.valid())
        return true;
    if (value.length == 0)
        return false;
    return picture.load_from_memory(value.data, value.length, value.scale > 0.0f ? value.scale : 1.0f);
}

point strip_frame_size(const image& picture, uint32_t frame_count)
{
    const uint32_t width = uint32_t(float(picture.width()) / picture.scale());
    const uint32_t height = uint32_t(float(picture.height()) / picture.scale()) / std::max(frame_count, 1u);
    return {int32_t(width), int32_t(height)};
}

}  // namespace qzsdk::ui
