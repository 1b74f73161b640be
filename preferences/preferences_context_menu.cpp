#include "preferences/preferences_context_menu.h"

#include "toolkit/ui/popup_menu.h"

namespace {

constexpr uint32_t top_level = 0xFFFFFFFFu;

// The cursor in the window's device pixels, through 96-dpi units of the screen's logical DPI.
POINT CursorForWindow(const qzsdk::ui::window& owner)
{
    static const int screen_dpi = [] {
        HDC screen = GetDC(nullptr);
        int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
        if (screen)
            ReleaseDC(nullptr, screen);
        return dpi > 0 ? dpi : 96;
    }();
    POINT cursor{};
    GetCursorPos(&cursor);
    return {owner.holder().to_pixels_x(MulDiv(cursor.x, 96, screen_dpi)),
            owner.holder().to_pixels_y(MulDiv(cursor.y, 96, screen_dpi))};
}

}  // namespace

uint32_t ShowContextMenu(qzsdk::ui::window& owner, const std::vector<ContextMenuItem>& items)
{
    qzsdk::ui::popup_menu_owner menu = qzsdk::ui::popup_menu::create();
    for (const ContextMenuItem& item : items) {
        if (item.separator) {
            menu->add_separator(item.id, top_level);
            continue;
        }
        menu->add_item(item.id, top_level, item.text);
        if (!item.enabled)
            menu->set_enabled(item.id, false);
    }
    POINT at = CursorForWindow(owner);
    BOOL command = TrackPopupMenuEx(menu->handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, owner.handle(),
                                    nullptr);
    return command > 0 ? static_cast<uint32_t>(command) - 1 : 0;
}
