#include "standin/screenshot.h"

#include "tests/support/window_fixture.h"

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
    standin::ScreenshotRecord record = standin::describe_screenshot(flat, window);
    EXPECT_EQ(record.window, "Flat");
    EXPECT_EQ(record.theme, "light");
    EXPECT_TRUE(record.window_one_colour);
    EXPECT_FALSE(record.one_colour) << "the screen around the window differs";
    EXPECT_FALSE(standin::describe_screenshot(flat, nullptr).window_one_colour) << "without a window";

    SetWindowLongPtrW(window, GWLP_USERDATA, 1);
    InvalidateRect(window, nullptr, FALSE);
    record = standin::describe_screenshot(screen_showing(window, mark_colour), window);
    EXPECT_EQ(record.window, "Flat");
    EXPECT_FALSE(record.window_one_colour);
    DestroyWindow(window);
}
