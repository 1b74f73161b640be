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
    ui::event_manager::instance().connect(&canvas, &canvas, ui::event_id::paint, [&](const ui::event_info&) {
        if (ui::renderer* r = ui::renderer_of(canvas))
            picture.paint(*r);
    });
    window.set_visible(true);
    pump_for(800);
    standin::save_screen_png(png_path);
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
