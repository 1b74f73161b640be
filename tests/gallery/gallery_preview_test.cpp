#include "gallery/gallery_preview.h"

#include <gtest/gtest.h>

#include "gallery/gallery_thumbnail.h"
#include "gallery/gallery_thumbnail_drag.h"
#include "tests/gallery/gallery_test_api.h"
#include "tests/gallery/gallery_test_files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using namespace gallery_test;

namespace {

// A 300 x 200 preview filling the test window, over image files 200 x 100 pixels.
class gallery_preview : public qzsdk::test::window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        clear_thumbnail_cache();
        preview.theme = &themes[0];
        preview.attach_to_window(&window.root(), rect{0, 0, 300, 200});
        preview.set_visible(true);
        connect_member(&preview, event_id::resized, &GalleryPreview::Relayout, &preview);
    }
    void TearDown() override
    {
        clear_thumbnail_cache();
        window_test::TearDown();
    }

    std::vector<qzsdk::path> files(int count)
    {
        std::vector<qzsdk::path> made;
        for (int i = 0; i < count; ++i) {
            made.push_back(folder / (L"shot" + std::to_wstring(i) + L".png").c_str());
            write_image(made.back(), 200, 100);
        }
        return made;
    }
    // Runs the loader until every cell has the picture it asks for.
    void settle()
    {
        for (;;) {
            std::vector<PictureLoader::Request> wanted;
            preview.WantedPictures(wanted);
            loader.Want(wanted);
            loader.WaitUntilIdle();
            std::vector<PictureLoader::Result> results = loader.TakeResults();
            if (results.empty())
                return;
            for (PictureLoader::Result& result : results)
                preview.ApplyPicture(result);
        }
    }
    std::vector<rect> cells()
    {
        std::vector<rect> bounds;
        for (auto& panel : GalleryTestApi::panels(preview))
            bounds.push_back(panel->bounds());
        return bounds;
    }
    GalleryPreviewTitle& caption(size_t cell) { return *GalleryTestApi::captions(preview)[cell]; }
    generic_button& button(size_t cell) { return *GalleryTestApi::buttons(preview)[cell]; }

    std::vector<EffectsTheme> themes = build_effects_themes();
    qzsdk::test::temp_folder folder;
    PictureLoader loader{qzsdk::path(), 2};
    GalleryPreview preview;
};

}  // namespace

TEST_F(gallery_preview, GridFollowsTheArrangement)
{
    preview.Rebuild(files(1));
    EXPECT_EQ(cells(), (std::vector<rect>{{0, 0, 300, 200}}));
    preview.Rebuild(files(3));
    EXPECT_EQ(cells(), (std::vector<rect>{{0, 0, 149, 99}, {0, 101, 149, 99}, {151, 0, 149, 99}}));
    preview.arrangement = 1;
    preview.Rebuild(files(3));
    EXPECT_EQ(cells(), (std::vector<rect>{{0, 0, 149, 99}, {151, 0, 149, 99}, {0, 101, 149, 99}}));
    preview.Rebuild(files(7));
    EXPECT_EQ((std::vector<uint32_t>{GalleryTestApi::rows(preview), GalleryTestApi::columns(preview),
                                     uint32_t(cells()[6].x)}),
              (std::vector<uint32_t>{3, 3, 0}));
    preview.arrangement = 0;
    preview.Rebuild(files(5));
    EXPECT_EQ(std::make_pair(GalleryTestApi::columns(preview), GalleryTestApi::rows(preview)), std::make_pair(2u, 3u));

    // A resize lays the cells out row first.
    preview.Rebuild(files(3));
    preview.set_bounds(rect{0, 0, 202, 100});
    EXPECT_EQ(cells(), (std::vector<rect>{{0, 0, 100, 49}, {102, 0, 100, 49}, {0, 51, 100, 49}}));
    EXPECT_EQ(button(0).bounds().x, 74);
    EXPECT_EQ(caption(0).bounds(), (rect{10, 10, 60, 20}));
    preview.Rebuild({});
    EXPECT_TRUE(cells().empty());

    // Thousands of files show a bounded grid above a count of the rest; cells too small for their button and
    // caption keep them inside.
    preview.set_bounds(rect{0, 0, 40, 100});
    preview.Rebuild(std::vector<qzsdk::path>(2000, folder / L"none.png"));
    EXPECT_EQ(cells().size(), GalleryPreview::max_cells);
    EXPECT_EQ(preview.Paths().size(), 2000u);
    EXPECT_LE(cells().back().y + cells().back().height, 100 - GalleryPreview::more_strip_height);
    EXPECT_EQ(button(0).bounds().x, 0);
    EXPECT_EQ(caption(0).bounds().width, 0);
}

TEST_F(gallery_preview, ActualSizeTogglesPerCellAndForAll)
{
    preview.Rebuild(files(2));  // two cells of 300 x 99 showing 200 x 100 pictures: fitted below 1.0
    settle();
    auto& panels = GalleryTestApi::panels(preview);
    auto icon = [&](size_t cell) { return button(cell).properties.get_image("button_back_image").data; };
    const float fitted = panels[0]->zoom;
    ASSERT_LT(fitted, 1.0f);

    show_without_focus();
    mouse(WM_LBUTTONDOWN, 284, 16);  // the first cell's button
    mouse(WM_LBUTTONUP, 284, 16);
    EXPECT_EQ(panels[0]->zoom, 1.0f);
    EXPECT_EQ(panels[1]->zoom, fitted);
    EXPECT_EQ(icon(0), themes[0].fit_image.data);
    settle();  // the cell at actual size gets its full-size picture
    EXPECT_EQ(panels[0]->image->width(), 200u);

    preview.ToggleAllActualSize();  // one still fitted: all go to actual size
    EXPECT_EQ(panels[1]->zoom, 1.0f);
    preview.ToggleAllActualSize();
    EXPECT_EQ(panels[0]->zoom, fitted);
    EXPECT_EQ(panels[1]->zoom, fitted);
    EXPECT_EQ(icon(1), themes[0].actual_size_image.data);

    // The zoom keys reach only the cell under the cursor.
    place_cursor(150, 100);  // the gap between the two cells
    preview.ZoomCellUnderCursor(true);
    EXPECT_EQ(std::make_pair(panels[0]->zoom, panels[1]->zoom), std::make_pair(fitted, fitted));
    place_cursor(150, 150);
    preview.ZoomCellUnderCursor(true);
    EXPECT_GT(panels[1]->zoom, fitted);

    // A picture smaller than its cell never zooms below the fit: Z still goes there and back.
    write_image(folder / L"small.png", 20, 10);
    preview.Rebuild({folder / L"small.png"});
    settle();
    preview.ToggleAllActualSize();
    EXPECT_EQ(icon(0), themes[0].fit_image.data);
    preview.ToggleAllActualSize();
    EXPECT_EQ(icon(0), themes[0].actual_size_image.data);

    // Cells show their files' names and sizes; damaged and missing files leave theirs empty.
    write_truncated_png(folder / L"cut.png");
    preview.Rebuild({folder / L"small.png", folder / L"cut.png", folder / L"missing.png"});
    settle();
    ASSERT_EQ(panels.size(), 3u);
    EXPECT_TRUE(panels[0]->image);
    EXPECT_EQ(preview.FileOfCell(*panels[0]), folder / L"small.png");
    EXPECT_EQ(panels[1]->image.get(), nullptr);
    EXPECT_EQ(preview.FileOfCell(*panels[1]), qzsdk::path());
    EXPECT_EQ(std::make_pair(caption(0).Name(), caption(0).Info()), std::make_pair(std::string("small"), std::string("Full: 20x10")));
    EXPECT_EQ(caption(2).Info(), "Full: 0x0");
    qzsdk::test::window_snapshot snapshot(window);
    EXPECT_TRUE(qzsdk::test::looks_like(snapshot.pixel(299, 199), themes[0].gallery_back_color));
}

TEST_F(gallery_preview, DragWindowCountsFilesAndForgetsThemWhenHidden)
{
    write_image(folder / L"a.png", 64, 36);
    GalleryThumbnail a(&themes[0], folder / L"a.png", 1), b(&themes[0], folder / L"a.png", 1),
        c(&themes[0], folder / L"a.png", 1);
    GalleryThumbnailDrag drag(&window);
    drag.Setup({&a, &b, &c}, &b, point{300, 400}, &themes[0]);
    EXPECT_EQ(drag.Count(), 3u);
    EXPECT_EQ(drag.Position(), (point{304, 296}));
    drag.set_visible(true);
    drag.Forget(&b);
    EXPECT_EQ(GalleryTestApi::drag_files(drag).size(), 2u);
    drag.set_visible(false);
    EXPECT_TRUE(GalleryTestApi::drag_files(drag).empty());
    qzsdk::test::window_snapshot after(drag);  // nothing to paint, and nothing reached
}
