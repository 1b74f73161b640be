#include "preferences/popup_placement.h"

void CenterAboveOwner(qzsdk::ui::window& popup)
{
    popup.center();
    RECT outer{};
    if (!GetWindowRect(popup.handle(), &outer))
        return;
    int lift = popup.holder().to_pixels_y(30);
    SetWindowPos(popup.handle(), nullptr, outer.left, outer.top - lift, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
