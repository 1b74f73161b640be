#include "standin/screenshot.h"

#include "tests/support/window_fixture.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

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

constexpr COLORREF flat_colour = RGB(217, 217, 217);
constexpr COLORREF mark_colour = RGB(0, 0, 0);

// Painted in one colour through GDI, with a square of another at its centre once its user data is set.
LRESULT CALLBACK flat_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wparam, lparam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HBRUSH fill = CreateSolidBrush(flat_colour);
    FillRect(dc, &client, fill);
    DeleteObject(fill);
    if (GetWindowLongPtrW(window, GWLP_USERDATA)) {
        RECT mark{client.right / 2 - 3, client.bottom / 2 - 3, client.right / 2 + 3, client.bottom / 2 + 3};
        HBRUSH marker = CreateSolidBrush(mark_colour);
        FillRect(dc, &mark, marker);
        DeleteObject(marker);
    }
    EndPaint(window, &paint);
    return 0;
}

// The screen once it shows the colour at the window's centre.
standin::ScreenPixels screen_showing(HWND window, COLORREF colour)
{
    RECT area;
    GetWindowRect(window, &area);
    standin::ScreenPixels shown;
    qzsdk::test::pump_until(
        [&] {
            shown = standin::grab_screen();
            const BYTE* centre =
                &shown.bgra[(size_t((area.top + area.bottom) / 2) * shown.width + (area.left + area.right) / 2) * 4];
            return RGB(centre[2], centre[1], centre[0]) == colour;
        },
        10000);
    return shown;
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

// A screenshot's window is looked at where it lies on the screen: drawn in one colour it is told so, and
// not once anything else is drawn in it.
TEST(ScreenPicture, AWindowDrawnInOneColourIsToldAndOneWithAnythingElseInItIsNot)
{
    WNDCLASSW flat_class{};
    flat_class.lpfnWndProc = &flat_procedure;
    flat_class.lpszClassName = L"ScreenPictureFlat";
    RegisterClassW(&flat_class);
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"ScreenPictureFlat", L"Flat", WS_POPUP | WS_VISIBLE,
                                  100, 100, 160, 90, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);

    standin::ScreenPixels flat = screen_showing(window, flat_colour);
    standin::ScreenshotRecord record = standin::describe_screenshot(flat, {window});
    EXPECT_EQ(record.window, "Flat");
    EXPECT_EQ(record.theme, "light");
    EXPECT_TRUE(record.window_one_colour);
    EXPECT_FALSE(record.one_colour) << "the screen around the window differs";
    EXPECT_FALSE(standin::describe_screenshot(flat, {}).window_one_colour) << "without a window";

    SetWindowLongPtrW(window, GWLP_USERDATA, 1);
    InvalidateRect(window, nullptr, FALSE);
    record = standin::describe_screenshot(screen_showing(window, mark_colour), {window});
    EXPECT_EQ(record.window, "Flat");
    EXPECT_FALSE(record.window_one_colour);
    DestroyWindow(window);
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

// Each window, front first, is named with what the picture shows at its centre, whichever window drew it.
TEST(ScreenPicture, TheStackNamesEachWindowWithTheColourAtItsCentre)
{
    WNDCLASSW plain_class{};
    plain_class.lpfnWndProc = &DefWindowProcW;
    plain_class.lpszClassName = L"ScreenPictureStack";
    RegisterClassW(&plain_class);
    std::vector<HWND> windows;
    for (auto [title, x, y] : {std::tuple{L"Front", 150, 125}, std::tuple{L"Behind", 100, 100}}) {
        windows.push_back(CreateWindowExW(WS_EX_TOOLWINDOW, L"ScreenPictureStack", title, WS_POPUP, x, y, 160, 90,
                                          nullptr, nullptr, nullptr, nullptr));
        ASSERT_NE(windows.back(), nullptr);
    }
    // White at the front window's centre; the back one's centre lies under the front window, in its grey.
    standin::ScreenPixels picture = grey_picture(400, 300, 0x20, true, 230, 170);
    standin::ScreenshotRecord record = standin::describe_screenshot(picture, windows);
    ASSERT_EQ(record.stack.size(), 2u);
    EXPECT_EQ(record.stack[0].title, "Front");
    EXPECT_EQ(record.stack[0].centre, "ffffff");
    EXPECT_EQ(record.stack[1].title, "Behind");
    EXPECT_EQ(record.stack[1].centre, "202020");
    EXPECT_EQ(record.window, "Front");
    for (HWND window : windows)
        DestroyWindow(window);
}
