#include "gallery/picture_loader.h"

#include <gtest/gtest.h>

#include "gallery/thumbnail_cache.h"
#include "tests/gallery/gallery_test_files.h"
#include "tests/support/temp_folder.h"
#include "toolkit/platform/file_system.h"

using namespace gallery_test;
using Purpose = PictureLoader::Purpose;

namespace {

PixelSize size_of(const DecodedCapture& decoded)
{
    return decoded.picture ? PixelSize{decoded.picture->width(), decoded.picture->height()} : PixelSize{};
}

class picture_loader : public ::testing::Test {
protected:
    void SetUp() override { clear_thumbnail_cache(); }
    void TearDown() override { clear_thumbnail_cache(); }

    // The picture's size, or 0 x 0 when none was made.
    PixelSize make(Purpose purpose, const qzsdk::path& file, int64_t time = 0, PixelSize box = {})
    {
        loader.Want({{purpose, file, time, box, 0}});
        loader.WaitUntilIdle();
        std::vector<PictureLoader::Result> results = loader.TakeResults();
        EXPECT_EQ(results.size(), 1u);
        return size_of(results.at(0).decoded);
    }
    // The size of the cached picture for this time, or 0 x 0.
    PixelSize cached(const qzsdk::path& file, int64_t time)
    {
        qzsdk::cache_store store;
        store.open(ThumbnailCache::StoreFile());
        const qzsdk::cache_store::blob found = store.find(file.to_utf8());
        const auto picture = ThumbnailCache::PictureOf(found.data, found.size, time);
        return picture ? size_of(DecodeCaptureBytes(picture->data(), picture->size(), [](PixelSize full) { return full; }))
                       : PixelSize{};
    }

    qzsdk::test::temp_folder folder;
    PictureLoader loader{ThumbnailCache::StoreFile(), 2};
};

}  // namespace

TEST_F(picture_loader, ThumbnailsAre512WideAndCachedWhileTheFileTimeMatches)
{
    const qzsdk::path file = folder / L"shot.png";
    write_image(file, 1920, 1080);
    EXPECT_EQ(make(Purpose::thumbnail, file, 1700000000), (PixelSize{512, 288}));
    EXPECT_EQ(cached(file, 1700000000), (PixelSize{512, 288}));
    EXPECT_EQ(cached(file, 1700000001), (PixelSize{}));

    // The file changes shape behind an unchanged time: the cache still answers. A new time rebuilds it.
    write_image(file, 1000, 333);
    EXPECT_EQ(make(Purpose::thumbnail, file, 1700000000), (PixelSize{512, 288}));
    EXPECT_EQ(make(Purpose::thumbnail, file, 1700000100), (PixelSize{512, 170}));
    EXPECT_EQ(cached(file, 1700000000), (PixelSize{}));
    EXPECT_EQ(cached(folder / L"SHOT.png", 1700000100), (PixelSize{}));  // keys are the exact path text

    // Small pictures are scaled up; a strip keeps one row.
    write_image(folder / L"small.png", 256, 256);
    write_image(folder / L"strip.png", 4000, 1);
    EXPECT_EQ(make(Purpose::thumbnail, folder / L"small.png", 1), (PixelSize{512, 512}));
    EXPECT_EQ(make(Purpose::thumbnail, folder / L"strip.png", 1), (PixelSize{512, 1}));

    // Cached bytes that are no thumbnail are misses, rebuilt from the file.
    qzsdk::ui::image narrow;
    ASSERT_TRUE(narrow.create_blank(100, 40, 0));
    for (const std::vector<uint8_t>& bad : {std::vector<uint8_t>{1, 2, 3, 4, 5}, narrow.encode(qzsdk::ui::image_format_png)}) {
        const std::vector<uint8_t> value = ThumbnailCache::MakeValue(9, bad);
        {
            qzsdk::cache_store store;
            store.open(ThumbnailCache::StoreFile());
            store.store(file.to_utf8(), value.size(), value.data());
        }
        EXPECT_EQ(make(Purpose::thumbnail, file, 9), (PixelSize{512, 170}));
        EXPECT_EQ(cached(file, 9), (PixelSize{512, 170}));
    }
}

TEST_F(picture_loader, CellsAreDecodedAtTheirSizeAndFullOnlyWhenAsked)
{
    const qzsdk::path file = folder / L"shot.jpg";
    write_image(file, 1920, 1080);
    EXPECT_EQ(make(Purpose::cell, file, 0, {400, 400}), (PixelSize{400, 225}));
    EXPECT_EQ(make(Purpose::cell, file, 0, {4000, 4000}), (PixelSize{1920, 1080}));  // never enlarged
    EXPECT_EQ(make(Purpose::full, file, 0, {400, 400}), (PixelSize{1920, 1080}));
}

TEST_F(picture_loader, DamagedFilesMakeNoPictureAndNothingIsCached)
{
    write_truncated_png(folder / L"cut.png");
    qzsdk::test::write_bytes(folder / L"noise.png", "not an image at all");
    // A chunk declaring 2 GB in a file of a few dozen bytes.
    qzsdk::test::write_bytes(folder / L"huge.png",
                             std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0CRC!"
                                         "\x7F\xFF\xFF\xF0IDATxy",
                                         47));
    for (const wchar_t* name : {L"cut.png", L"noise.png", L"huge.png", L"gone.png"}) {
        EXPECT_EQ(make(Purpose::thumbnail, folder / name, 5), (PixelSize{})) << qzsdk::path(name).to_utf8();
        EXPECT_EQ(make(Purpose::cell, folder / name, 0, {100, 100}), (PixelSize{}));
        EXPECT_EQ(cached(folder / name, 5), (PixelSize{}));
    }
}
