#include <gtest/gtest.h>

#include "showcase/skin_showcase.h"
#include "tests/support/wic_canvas.h"

namespace qzsdk::test {
namespace {

using showcase::skin_showcase;

bool light(bgra p) { return p.a == 255 && p.r > 150 && p.g > 150 && p.b > 150; }

// The embedded images decode and land where the picture puts them; the picture is left beside the test
// program (skin_showcase.png) for a look.
TEST(SkinShowcase, ShowsTheThreeDefaultImages)
{
    skin_showcase picture;
    wic_canvas canvas(skin_showcase::area.width, skin_showcase::area.height);
    canvas.draw([&](ui::renderer& r) { picture.paint(r); });
    EXPECT_TRUE(light(canvas.pixel(skin_showcase::dropdown_arrow.x, skin_showcase::dropdown_arrow.y)));
    EXPECT_TRUE(light(canvas.pixel(skin_showcase::scroll_arrow_up.x, skin_showcase::scroll_arrow_up.y)));
    EXPECT_TRUE(light(canvas.pixel(skin_showcase::checkbox_checked.x, skin_showcase::checkbox_checked.y)));
    // The same spot of the unchecked frame holds no tick.
    EXPECT_FALSE(light(canvas.pixel(skin_showcase::checkbox_checked.x, skin_showcase::checkbox_checked.y - 28)));
    EXPECT_TRUE(canvas.save_png(L"skin_showcase.png"));
}

}  // namespace
}  // namespace qzsdk::test
