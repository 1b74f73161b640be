#include "standin/screenshot.h"

#include <gtest/gtest.h>

namespace {

// A picture of w x h in one grey, with a white square of 2 x 2 at x, y when `mark` is set.
standin::ScreenPixels grey_picture(int w, int h, BYTE grey, bool mark = false, int x = 0, int y = 0)
{
    standin::ScreenPixels pixels{w, h, std::vector<BYTE>(size_t(w) * h * 4, grey)};
    if (mark)
        for (int row = y; row < y + 2; ++row)
            for (int column = x; column < x + 2; ++column)
                for (int channel = 0; channel < 3; ++channel)
                    pixels.bgra[(size_t(row) * w + column) * 4 + channel] = 255;
    return pixels;
}

}  // namespace

TEST(ScreenPicture, OneColourOnlyWhereNothingDiffers)
{
    EXPECT_TRUE(standin::shows_one_colour(grey_picture(20, 10, 0), RECT{0, 0, 20, 10}));
    standin::ScreenPixels marked = grey_picture(20, 10, 0, true, 15, 5);
    EXPECT_FALSE(standin::shows_one_colour(marked, RECT{0, 0, 20, 10}));
    EXPECT_TRUE(standin::shows_one_colour(marked, RECT{0, 0, 10, 10})) << "the mark lies outside the area";
    EXPECT_FALSE(standin::shows_one_colour(marked, RECT{10, 0, 400, 400})) << "an area past the edge is clipped";
    EXPECT_TRUE(standin::shows_one_colour(marked, RECT{100, 100, 200, 200}));
}

TEST(ScreenPicture, ThemeIsTheAreasBrightness)
{
    EXPECT_EQ(standin::theme_of(grey_picture(8, 8, 38), RECT{0, 0, 8, 8}), "dark");   // the dark dialog grey
    EXPECT_EQ(standin::theme_of(grey_picture(8, 8, 217), RECT{0, 0, 8, 8}), "light");  // the light one
    standin::ScreenPixels light_square = grey_picture(8, 8, 0, true, 2, 2);
    EXPECT_EQ(standin::theme_of(light_square, RECT{2, 2, 4, 4}), "light");
    EXPECT_EQ(standin::theme_of(light_square, RECT{0, 0, 8, 8}), "dark");
}

TEST(ScreenPicture, ColourAtAPointIsRedGreenBlueInHexAndNothingOutside)
{
    standin::ScreenPixels picture = grey_picture(8, 4, 32, true, 2, 2);
    BYTE* pixel = picture.bgra.data() + (size_t(1) * 8 + 5) * 4;
    pixel[0] = 0x23;  // blue
    pixel[1] = 0x32;
    pixel[2] = 0xb4;  // red
    EXPECT_EQ(standin::colour_at(picture, POINT{5, 1}), "b43223");
    EXPECT_EQ(standin::colour_at(picture, POINT{3, 3}), "ffffff");
    EXPECT_EQ(standin::colour_at(picture, POINT{0, 0}), "202020");
    EXPECT_EQ(standin::colour_at(picture, POINT{8, 0}), "");
    EXPECT_EQ(standin::colour_at(picture, POINT{0, -1}), "");
}
