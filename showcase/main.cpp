// A toolkit window for a visual check of the default skin: a few painted widgets, text in the skin's fonts
// and the three embedded images. It is shown, painted, and the screen saved as a PNG.
#include "showcase/skin_showcase.h"
#include "standin/screenshot.h"
#include "toolkit/platform/text.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

#include <ole2.h>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

using namespace qzsdk;

constexpr DWORD look_gap_ms = 100;
constexpr DWORD settle_timeout_ms = 10000;

void pump_for(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

int show_and_capture(const std::wstring& png_path)
{
    ui::window window;
    window.create("Zephrin toolkit", ui::rect{80, 80, showcase::skin_showcase::area.width + 40,
                                              showcase::skin_showcase::area.height + 40},
                  ui::window_style::borderless);
    showcase::skin_showcase picture;
    ui::widget canvas;
    canvas.name = "Showcase";
    canvas.attach_to_window(&window.root(), ui::rect{20, 20, showcase::skin_showcase::area.width,
                                                     showcase::skin_showcase::area.height});
    bool painted = false;
    ui::event_manager::instance().connect(&canvas, &canvas, ui::event_id::paint, [&](const ui::event_info&) {
        if (ui::renderer* r = ui::renderer_of(canvas)) {
            picture.paint(*r);
            painted = true;
        }
    });
    window.set_visible(true);
    RECT area{};
    GetWindowRect(window.handle(), &area);
    // Taken once the window was painted and the screen shows the same at two looks in a row: the first
    // paint of a fresh Wine prefix can take a while, and a picture taken before it is all black.
    standin::ScreenPixels previous;
    standin::ScreenPixels shown;
    DWORD start = GetTickCount();
    for (;;) {
        pump_for(look_gap_ms);
        shown = standin::grab_screen();
        if (painted && shown == previous && !standin::shows_one_colour(shown, area))
            break;
        if (GetTickCount() - start > settle_timeout_ms)
            break;
        previous = std::move(shown);
    }
    standin::save_png(shown, png_path);
    if (standin::shows_one_colour(shown, area)) {
        std::fprintf(stderr, "toolkit_showcase: the window showed one colour only: nothing was drawn\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || std::strcmp(argv[1], "--out") != 0) {
        std::fprintf(stderr, "usage: toolkit_showcase --out FILE.png\n");
        return 2;
    }
    OleInitialize(nullptr);
    int result = 1;
    try {
        result = show_and_capture(qzsdk::utf8_to_wide(argv[2]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "toolkit_showcase: %s\n", error.what());
    }
    OleUninitialize();
    return result;
}
