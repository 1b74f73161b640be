#include "toolkit/ui/image_handle.h"

namespace qzsdk::ui {

bool image_handle::load_from_file(const std::wstring& path)
{
    auto picture = std::make_unique<image>();
    if (!picture->load_from_file(path)) {
        image_.reset();
        return false;
    }
    image_ = std::move(picture);
    return true;
}

std::vector<uint8_t> image_handle::encode_png() const
{
    return image_ ? image_->encode(image_format_png) : std::vector<uint8_t>{};
}

}  // namespace qzsdk::ui
