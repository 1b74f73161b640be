#pragma once
// The owning holder through which feature code keeps an image.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/ui/image.h"

namespace qzsdk::ui {

class image_handle {
public:
    image_handle() = default;
    explicit image_handle(std::unique_ptr<image> picture) : image_(std::move(picture)) {}

    // Replaces the held image by the file's first frame; false (and an empty handle) on any failure.
    bool load_from_file(const std::wstring& path);
    // PNG bytes, exactly the encoder's output; empty on failure or without an image.
    std::vector<uint8_t> encode_png() const;

    image* get() const { return image_.get(); }
    image* operator->() const { return image_.get(); }
    image& operator*() const { return *image_; }
    explicit operator bool() const { return image_ != nullptr; }
    void reset(std::unique_ptr<image> picture = nullptr) { image_ = std::move(picture); }

private:
    std::unique_ptr<image> image_;
};

}  // namespace qzsdk::ui
