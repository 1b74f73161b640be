// The gallery's windows hold graphics resources only while shown, and what is in view is still drawn after
// scrolling and after the window comes back.
#include "gallery/gallery_popup_window.h"

#include <gtest/gtest.h>

#include "tests/gallery/gallery_test_api.h"
#include "tests/gallery/gallery_test_files.h"
#include "tests/gallery/popup_answer.h"
#include "tests/gallery/gallery_window_test_api.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

using namespace qzsdk::ui;
using namespace gallery_test;

namespace {

constexpr uint8_t picture_blue = 200;

// Forty captures of one bluish picture, more than three screens of the list.
class gallery_memory : public qzsdk::test::window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        clear_thumbnail_cache();
        for (int i = 0; i < 40; ++i) {
            const qzsdk::path file = folder / (L"capture" + std::to_wstring(i) + L".png").c_str();
            write_image(file, 64, 36, picture_blue);
            set_modified(file, 1600000000 + i);
        }
        capture = folder.get().to_utf8();
        gallery = std::make_unique<GalleryPopupWindow>(&window, &themes[0], capture);
    }
    void TearDown() override
    {
        gallery.reset();
        clear_thumbnail_cache();
        window_test::TearDown();
    }

    GalleryWindowTestApi api() { return GalleryWindowTestApi(*gallery); }
    // A real move over a client point of the gallery; the first move into a window only arms leave tracking.
    void move_to(const widget& target)
    {
        const POINT at = api().centre_of(target);
        for (int i = 0; i < 2; ++i)
            SendMessageW(gallery->handle(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    }
    void show()
    {
        gallery->ShowGallery(&themes[0]);
        api().settle();
    }
    std::vector<GalleryThumbnail*> in_view()
    {
        std::vector<GalleryThumbnail*> seen;
        for (GalleryThumbnail* thumbnail : api().column())
            if (thumbnail->visible_area().height > 0)
                seen.push_back(thumbnail);
        return seen;
    }

    std::vector<EffectsTheme> themes = build_effects_themes();
    qzsdk::test::temp_folder folder;
    std::string capture;
    std::unique_ptr<GalleryPopupWindow> gallery;
};

bool shows_picture(qzsdk::test::bgra pixel)
{
    return std::abs(int(pixel.b) - picture_blue) <= 3 && pixel.a == 255;
}

}  // namespace

TEST_F(gallery_memory, EveryThumbnailInViewIsDrawnAfterScrolling)
{
    show();
    for (const int32_t position : {0, 1000, 1 << 20}) {
        api().scroll_to(position);
        api().settle();
        const std::vector<GalleryThumbnail*> seen = in_view();
        ASSERT_GE(seen.size(), 3u);
        qzsdk::test::window_snapshot drawn(*gallery);
        for (GalleryThumbnail* thumbnail : seen) {
            const rect area = thumbnail->visible_area();
            EXPECT_TRUE(shows_picture(drawn.pixel(area.x + area.width / 2, area.y + area.height / 2)))
                << thumbnail->GetPath().file_name().to_utf8() << " at scroll position " << position;
        }
    }
}

TEST_F(gallery_memory, DragWindowHoldsNoTargetUntilADragShowsIt)
{
    show();
    EXPECT_TRUE(gallery->renderer()->holds_target());
    EXPECT_FALSE(api().drag_window().renderer()->holds_target());
}

TEST_F(gallery_memory, HiddenGalleryLetsGoOfItsTargetAndPaintsWhenShownAgain)
{
    show();
    gallery->Hide();
    EXPECT_FALSE(gallery->renderer()->holds_target());

    show();
    const rect area = in_view().front()->visible_area();
    POINT centre{area.x + area.width / 2, area.y + area.height / 2};
    ASSERT_TRUE(qzsdk::test::pump_until([&] {
        const COLORREF pixel = qzsdk::test::client_pixel(gallery->handle(), centre.x, centre.y);
        return std::abs(int(GetBValue(pixel)) - picture_blue) <= 3;
    }));
    const color title = themes[0].gallery_title_color;
    EXPECT_TRUE(qzsdk::test::shows_color(gallery->handle(), 400, 5, int(title.r * 255 + 0.5f),
                                         int(title.g * 255 + 0.5f), int(title.b * 255 + 0.5f)));
    EXPECT_TRUE(gallery->renderer()->holds_target());
}

TEST_F(gallery_memory, DeleteButtonIsMadeAtTheFirstHoverAndDroppedFarFromTheView)
{
    show();
    GalleryThumbnail& first = *api().column().front();
    EXPECT_EQ(GalleryTestApi::delete_button(first), nullptr);

    move_to(first);
    generic_button* button = GalleryTestApi::delete_button(first);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->is_visible(true));
    move_to(*button);
    EXPECT_TRUE(button->is_visible(true));
    move_to(*api().column()[1]);
    EXPECT_FALSE(button->is_visible(false));
    EXPECT_TRUE(GalleryTestApi::delete_button(*api().column()[1])->is_visible(true));

    move_to(first);
    move_to(*button);
    {
        popup_answer no(L"Delete?");
        const POINT at = api().centre_of(*button);
        SendMessageW(gallery->handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageW(gallery->handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        EXPECT_EQ(no.answered(), 1);
    }

    api().scroll_to(1 << 20);
    api().settle();
    EXPECT_EQ(GalleryTestApi::delete_button(first), nullptr);
}

// Scrolled far away while pressed, the button goes with the picture; the release then clicks nothing.
TEST_F(gallery_memory, DeleteButtonDroppedWhilePressedEndsItsPressQuietly)
{
    show();
    GalleryThumbnail& first = *api().column().front();
    move_to(first);
    generic_button* button = GalleryTestApi::delete_button(first);
    ASSERT_NE(button, nullptr);
    move_to(*button);
    const POINT at = api().centre_of(*button);
    SendMessageW(gallery->handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));

    api().scroll_to(1 << 20);
    api().settle();
    EXPECT_EQ(GalleryTestApi::delete_button(first), nullptr);
    popup_answer none(L"Delete?");
    SendMessageW(gallery->handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    qzsdk::test::pump_messages();
    EXPECT_EQ(none.answered(), 0);
    EXPECT_EQ(api().column().size(), 40u);
}
