#include "toolkit/ui/screen_dpi.h"

#include <windows.h>

namespace qzsdk::ui {
namespace {

point read_screen_dpi()
{
    HDC screen = GetDC(nullptr);
    point dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
    ReleaseDC(nullptr, screen);
    if (dpi.x <= 0 || dpi.y <= 0)
        return {96, 96};
    return dpi;
}

}  // namespace

point screen_dpi()
{
    static const point dpi = read_screen_dpi();
    return dpi;
}

}  // namespace qzsdk::ui
