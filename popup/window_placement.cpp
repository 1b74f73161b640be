#include "popup/window_placement.h"

#include <algorithm>

void place_window_units(qzsdk::ui::window& target, const qzsdk::ui::rect& client_units)
{
    const qzsdk::ui::native_window& holder = target.holder();
    RECT frame{holder.to_pixels_x(client_units.x), holder.to_pixels_y(client_units.y),
               holder.to_pixels_x(client_units.x + client_units.width),
               holder.to_pixels_y(client_units.y + client_units.height)};
    AdjustWindowRectEx(&frame, holder.style, FALSE, holder.extended_style);
    SetWindowPos(target.handle(), nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void keep_on_monitor(HWND handle)
{
    RECT window_rect{};
    if (!GetWindowRect(handle, &window_rect))
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(handle, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcMonitor;
    const LONG width = window_rect.right - window_rect.left;
    const LONG height = window_rect.bottom - window_rect.top;
    // max after min: a window too large for the monitor keeps its left and top edges on it.
    const LONG x = std::max(area.left, std::min(area.right - width, window_rect.left));
    const LONG y = std::max(area.top, std::min(area.bottom - height, window_rect.top));
    if (x != window_rect.left || y != window_rect.top)
        SetWindowPos(handle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
