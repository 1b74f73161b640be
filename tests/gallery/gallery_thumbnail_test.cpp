#include "gallery/gallery_thumbnail.h"

#include <gtest/gtest.h>

#include "gallery/thumbnail_cache.h"
#include "tests/gallery/gallery_test_api.h"
#include "tests/gallery/gallery_test_files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"
#include "toolkit/platform/qz_exception.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using namespace gallery_test;

namespace {

class gallery_thumbnails : public qzsdk::test::window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        clear_thumbnail_cache();
    }
    void TearDown() override
    {
        clear_thumbnail_cache();
        window_test::TearDown();
    }

    std::vector<EffectsTheme> themes = build_effects_themes();
    qzsdk::test::temp_folder folder;
};

uint32_t cached_width(const qzsdk::path& file, int64_t time)
{
    auto png = ThumbnailCache::Find(file, time);
    if (!png)
        return 0;
    image picture;
    return picture.load_from_memory(png->data(), png->size(), 1.0f) ? picture.width() : 0;
}

}  // namespace

TEST_F(gallery_thumbnails, CachedWhileTheFileTimeMatchesAndRebuiltAfter)
{
    const qzsdk::path file = folder / L"shot.png";
    write_image(file, 1920, 1080);
    set_modified(file, 1700000000);

    GalleryThumbnail first(&themes[0], file, 1700000000);
    EXPECT_EQ(first.picture->width(), 512u);
    EXPECT_EQ(first.picture->height(), 288u);
    EXPECT_EQ(cached_width(file, 1700000000), 512u);
    EXPECT_FALSE(ThumbnailCache::Find(file, 1700000001));

    // The file changes shape behind an unchanged time: the cache still answers.
    write_image(file, 1000, 333);
    GalleryThumbnail again(&themes[0], file, 1700000000);
    EXPECT_EQ(again.picture->height(), 288u);

    // A new time is a miss that replaces the entry.
    GalleryThumbnail touched(&themes[0], file, 1700000100);
    EXPECT_EQ(touched.picture->height(), 170u);
    EXPECT_FALSE(ThumbnailCache::Find(file, 1700000000));
    EXPECT_EQ(cached_width(file, 1700000100), 512u);

    // Keys are the exact path text.
    EXPECT_FALSE(ThumbnailCache::Find(folder / L"SHOT.png", 1700000100));
}

TEST_F(gallery_thumbnails, SmallAndExactWidthPicturesBecome512Wide)
{
    write_image(folder / L"small.png", 256, 256);
    write_image(folder / L"exact.png", 512, 100);
    GalleryThumbnail small(&themes[0], folder / L"small.png", 1);
    GalleryThumbnail exact(&themes[0], folder / L"exact.png", 1);
    EXPECT_EQ(small.picture->width(), 512u);
    EXPECT_EQ(small.picture->height(), 512u);
    EXPECT_EQ(exact.picture->height(), 100u);
    // A picture so wide that its thumbnail would have no rows still gets one.
    write_image(folder / L"strip.png", 4000, 1);
    GalleryThumbnail strip(&themes[0], folder / L"strip.png", 1);
    EXPECT_EQ(strip.picture->height(), 1u);
}

TEST_F(gallery_thumbnails, BadFilesFailAndNothingIsCached)
{
    write_truncated_png(folder / L"cut.png");
    qzsdk::test::write_bytes(folder / L"noise.png", "not an image at all");
    for (const wchar_t* name : {L"cut.png", L"noise.png", L"gone.png"}) {
        EXPECT_THROW(GalleryThumbnail(&themes[0], folder / name, 5), qz_exception);
        EXPECT_FALSE(ThumbnailCache::Find(folder / name, 5));
    }
}

TEST_F(gallery_thumbnails, DamagedCacheEntryIsRebuiltFromTheFile)
{
    const qzsdk::path file = folder / L"shot.png";
    write_image(file, 1024, 512);
    ThumbnailCache::Store(file, 9, {1, 2, 3, 4, 5});
    GalleryThumbnail thumbnail(&themes[0], file, 9);
    ASSERT_TRUE(thumbnail.picture->valid());
    EXPECT_EQ(thumbnail.picture->height(), 256u);
    EXPECT_EQ(cached_width(file, 9), 512u);

    // Store files damaged on disk are dropped by the store; the thumbnail is made again.
    qzsdk::test::write_bytes(ThumbnailCache::StoreFile().append_extension("header"), "QZMPC garbage");
    GalleryThumbnail after(&themes[0], file, 9);
    EXPECT_EQ(after.picture->height(), 256u);
}

TEST_F(gallery_thumbnails, DeleteButtonFollowsThePointerAndAsksForDelete)
{
    const qzsdk::path file = folder / L"shot.png";
    write_image(file, 64, 36);
    GalleryThumbnail thumbnail(&themes[0], file, 1);
    thumbnail.attach_to_window(&window.root(), rect{10, 10, 173, 97});
    thumbnail.set_visible(true);
    generic_button& button = GalleryTestApi::delete_button(thumbnail);
    EXPECT_EQ(button.bounds(), (rect{153, 77, 18, 18}));
    EXPECT_FALSE(button.is_visible(false));

    qzsdk::test::event_log log;
    log.listen(&thumbnail, "thumb", {event_id::command});
    move_to(5, 5);
    move_to(50, 50);
    EXPECT_TRUE(button.is_visible(false));
    move_to(165, 90);  // onto the button
    EXPECT_TRUE(button.is_visible(false));
    mouse(WM_LBUTTONDOWN, 165, 90);
    mouse(WM_LBUTTONUP, 165, 90);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"thumb:44:1"}));
    move_to(250, 150);  // off both
    EXPECT_FALSE(button.is_visible(false));

    thumbnail.set_bounds(rect{10, 10, 200, 112});
    EXPECT_EQ(button.bounds(), (rect{180, 92, 18, 18}));
}
