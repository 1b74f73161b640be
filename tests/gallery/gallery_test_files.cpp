#include "tests/gallery/gallery_test_files.h"

#include "gallery/thumbnail_cache.h"
#include "tests/support/temp_folder.h"
#include "toolkit/platform/cache_store.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/ui/image.h"

#include <gtest/gtest.h>


namespace gallery_test {

void write_image(const qzsdk::path& file, uint32_t width, uint32_t height, uint8_t blue)
{
    qzsdk::ui::image picture;
    ASSERT_TRUE(picture.create_blank(width, height, 1));
    qzsdk::ui::image::pixel_data data;
    picture.lock_pixels(data);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* pixel = data.pixels + y * data.stride + x * 4;
            pixel[0] = blue;
            pixel[1] = uint8_t(x);
            pixel[2] = uint8_t(y);
            pixel[3] = 255;
        }
    picture.unlock_pixels();
    const bool jpeg = file.extension() == "jpg";
    ASSERT_TRUE(picture.save_to_file(file.wide(), jpeg ? qzsdk::ui::image_format_jpeg : qzsdk::ui::image_format_png));
}

void write_truncated_png(const qzsdk::path& file)
{
    write_image(file, 64, 64);
    qzsdk::test::write_bytes(file, qzsdk::test::read_bytes(file).substr(0, 40));
}

void set_modified(const qzsdk::path& file, int64_t unix_seconds)
{
    ASSERT_TRUE(qzsdk::set_file_times(file, unix_seconds, unix_seconds));
}

void clear_thumbnail_cache()
{
    qzsdk::cache_store store;
    store.open(ThumbnailCache::StoreFile());
    store.clear();
}

}  // namespace gallery_test
