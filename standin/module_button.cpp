#include "standin/module_button.h"

#include <cstdint>
#include <utility>

namespace standin {

namespace {

// Icon centres in 96-dpi units: left of the client area's right edge, and down from its top.
constexpr int icon_centre_y = 22;
constexpr std::pair<const char*, int> icon_offsets[] = {
    {"screenshot", 195}, {"gallery", 149}, {"export", 109}, {"settings", 66}, {"news", 23},
};

}  // namespace

const char* const popup_icon_names = "screenshot, gallery, export, settings, news";

std::optional<RECT> find_module_button(HMODULE module, HWND window, const std::string& text)
{
    using FindButton = int32_t (*)(HWND, const char*, RECT*);
    auto find = module ? reinterpret_cast<FindButton>(
                             reinterpret_cast<void*>(GetProcAddress(module, "ZephrinFindButton")))
                       : nullptr;
    RECT found{};
    if (!find || !find(window, text.c_str(), &found))
        return std::nullopt;
    return found;
}

std::optional<POINT> popup_icon_button(HWND popup, const std::string& name)
{
    for (const auto& [icon, offset] : icon_offsets) {
        if (name != icon)
            continue;
        RECT client{};
        GetClientRect(popup, &client);
        HDC screen = GetDC(nullptr);
        int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        POINT point{client.right - MulDiv(offset, dpi, 96), MulDiv(icon_centre_y, dpi, 96)};
        ClientToScreen(popup, &point);
        return point;
    }
    return std::nullopt;
}

}  // namespace standin
