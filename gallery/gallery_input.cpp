#include "gallery/gallery_input.h"

#include <windows.h>

namespace {

bool key_held(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

bool GalleryCtrlHeld()
{
    return (key_held(VK_LCONTROL) || key_held(VK_RCONTROL)) && !key_held(VK_RMENU);
}

bool GalleryShiftHeld()
{
    return key_held(VK_LSHIFT) || key_held(VK_RSHIFT);
}

void MakeButtonTransparent(qzsdk::ui::generic_button& button)
{
    const qzsdk::ui::color clear{0, 0, 0, 0};
    for (const char* key : {"button_border_color_hover", "button_border_color_focus", "button_color_normal",
                            "button_color_hover"})
        button.properties.set_color(key, clear);
}
