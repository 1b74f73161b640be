#pragma once
// The screen as the user sees it: grabbed through GDI, saved as PNG through WIC, and read for what it shows.
#include "standin/bookkeeping.h"

#include <windows.h>

#include <string>
#include <vector>

namespace standin {

// Top-down 32-bit BGRA rows of the whole screen.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<BYTE> bgra;
    bool operator==(const ScreenPixels&) const = default;
};

// Throws std::runtime_error naming the step that failed.
ScreenPixels grab_screen();
// Needs COM on the calling thread. Throws std::runtime_error naming the step that failed.
void save_png(const ScreenPixels& pixels, const std::wstring& path);
void save_screen_png(const std::wstring& path);

// Whether every pixel of the area (clipped to the picture) has one colour, as an area nothing was drawn in;
// an area outside the picture counts as one colour.
bool shows_one_colour(const ScreenPixels& pixels, RECT area);
// "dark" when the area's mean luminance is below half, else "light".
std::string theme_of(const ScreenPixels& pixels, RECT area);
// What the picture shows of the window (null: none) where it lies on the screen, or of the whole screen.
ScreenshotRecord describe_screenshot(const ScreenPixels& pixels, HWND window);

}  // namespace standin
