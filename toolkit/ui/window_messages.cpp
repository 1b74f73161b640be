// The window procedure's message table: native messages become routed events.
#include <windows.h>
#include <windowsx.h>

#include <imm.h>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {
namespace {

uint64_t pack(uint32_t low, uint32_t high)
{
    return low | (static_cast<uint64_t>(high) << 32);
}

uint64_t wheel_param(WPARAM wparam)
{
    double delta = static_cast<short>(HIWORD(wparam)) * 0.5;
    uint64_t bits;
    static_assert(sizeof(bits) == sizeof(delta));
    __builtin_memcpy(&bits, &delta, sizeof(bits));
    return bits;
}

}  // namespace

point window::client_units(LPARAM lparam, bool screen_coordinates) const
{
    // Signed: positions left of or above the client area are negative.
    POINT position{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    if (screen_coordinates)
        ScreenToClient(handle(), &position);
    return {holder_.to_units_x(position.x), holder_.to_units_y(position.y)};
}

void window::route_pointer(uint32_t id, uint64_t param, LPARAM lparam, bool screen_coordinates)
{
    input_record record(id, param, client_units(lparam, screen_coordinates));
    route_input(record);
}

LRESULT window::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND hwnd = handle();
    switch (message) {
    case WM_SIZE:
        handle_size(wparam, lparam);
        return 0;
    case WM_WINDOWPOSCHANGED:
        // Every way of hiding a window (ShowWindow, SetWindowPos, an owner's minimising) passes here; the
        // default handling still has to send the size and move messages.
        if (renderer_ && (reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_HIDEWINDOW))
            renderer_->release_device_resources();
        break;
    case WM_SETFOCUS:
        route_input({event_id::focus_gained, 0});
        return 0;
    case WM_KILLFOCUS:
        route_input({event_id::focus_lost, 0});
        return 0;
    case WM_PAINT:
        handle_paint();
        return 0;
    case WM_CLOSE:
        close_request(false);
        return 1;
    case WM_SETCURSOR:
        if (!tracking_)
            DefWindowProcW(hwnd, message, wparam, lparam);
        return 0;
    case WM_GETMINMAXINFO:
        handle_min_max(reinterpret_cast<MINMAXINFO*>(lparam));
        return 0;
    case WM_INPUTLANGCHANGE:
        if (ime_)
            ime_->refresh_layout();
        return 0;
    case WM_NCHITTEST:
        if (!holder_.resizable_borderless)
            break;
        return handle_hit_test(lparam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        // A key-down handler may destroy this window.
        const std::shared_ptr<modal_state> state = modal_;
        route_input({event_id::key_down, wparam});
        if (state->alive)
            route_input({event_id::key_down_raw, pack(static_cast<uint32_t>(wparam), static_cast<uint32_t>(lparam))});
        return 0;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        route_input({event_id::key_up, wparam});
        return 0;
    case WM_CHAR:
        route_input({event_id::char_input, wparam});
        return 0;
    case WM_IME_STARTCOMPOSITION:
        if (ime_ && !ime_->composing) {
            CreateCaret(hwnd, nullptr, 1, 1);
            ime_->place_candidate_window();
            ime_->composing = true;
            route_input({event_id::ime, 0});
        }
        return 0;
    case WM_IME_ENDCOMPOSITION:
        if (ime_ && ime_->composing) {
            if (ime_->read_string(GCS_RESULTSTR, GCS_RESULTSTR))
                route_input({event_id::ime, 2});
            DestroyCaret();
            ime_->composing = false;
        }
        return 0;
    case WM_IME_COMPOSITION:
        handle_ime_composition(lparam);
        return 0;
    case WM_IME_SETCONTEXT:
        return DefWindowProcW(hwnd, message, wparam, lparam & ~static_cast<LPARAM>(ISC_SHOWUICOMPOSITIONWINDOW));
    case WM_COMMAND:
        return 0;
    case WM_TIMER:
        handle_timer(static_cast<uint32_t>(wparam));
        return 0;
    case WM_MOUSEMOVE:
        if (!tracking_) {
            tracking_ = true;
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, HOVER_DEFAULT};
            TrackMouseEvent(&track);
            return 1;
        }
        route_pointer(event_id::mouse_move, 0, lparam, false);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        route_pointer(event_id::mouse_down, message == WM_LBUTTONDOWN ? 0 : message == WM_MBUTTONDOWN ? 1 : 2,
                      lparam, false);
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
        route_pointer(event_id::mouse_up, message == WM_LBUTTONUP ? 0 : message == WM_MBUTTONUP ? 1 : 2, lparam,
                      false);
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: {
        uint64_t button = message == WM_LBUTTONDBLCLK ? 0 : message == WM_MBUTTONDBLCLK ? 1 : 2;
        input_record record(event_id::mouse_double_click, button, client_units(lparam, false));
        // Reported as a second press unless the widget under the cursor listens for double clicks.
        widget* under = hit_test(record.position);
        if (!under || !is_eligible(under) || !under->is_visible(true) ||
            !event_manager::instance().has_handlers(under, event_id::mouse_double_click)) {
            record.id = event_id::mouse_down;
            record.swallows_release = true;
        }
        route_input(record);
        return 0;
    }
    case WM_MOUSEWHEEL:
        route_pointer(event_id::mouse_wheel, wheel_param(wparam), lparam, true);
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        route_input({event_id::mouse_leave, 0});
        return 0;
    case WM_CAPTURECHANGED:
        // Our own SetCapture calls move the capture within this window and end nothing.
        if (reinterpret_cast<HWND>(lparam) != hwnd)
            end_capture();
        return 0;
    case WM_CANCELMODE:
        end_capture();
        break;
    case WM_USER:
        on_user_message(static_cast<uint32_t>(lparam));
        return 0;
    case repaint_again_message:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

void window::handle_size(WPARAM wparam, LPARAM lparam)
{
    uint32_t width = LOWORD(lparam);
    uint32_t height = HIWORD(lparam);
    if (renderer_)
        renderer_->resize(width, height);
    if (wparam == SIZE_MAXIMIZED)
        holder_.maximized = true;
    else if (wparam == SIZE_RESTORED)
        holder_.maximized = false;
    route_input({event_id::resized, pack(static_cast<uint32_t>(holder_.to_units_x(static_cast<int32_t>(width))),
                                         static_cast<uint32_t>(holder_.to_units_y(static_cast<int32_t>(height))))});
}

void window::handle_ime_composition(LPARAM lparam)
{
    if (!ime_)
        return;
    bool has_char = ime_->last_key_char != 0;
    UINT key = ime_->last_key;
    if (ime_->converting && ime_->cursor == static_cast<int>(ime_->composition.size()) && has_char &&
        key != VK_BACK && key != VK_RETURN && key != VK_SPACE) {
        route_input({event_id::ime, 2});
        route_input({event_id::ime, 0});
    }
    ime_->converting = false;
    if (ime_->is_korean_layout() && (lparam & GCS_RESULTSTR) && has_char)
        route_input({event_id::ime, 0});
    if (ime_->read_string(GCS_COMPSTR, lparam))
        route_input({event_id::ime, 1});
}

LRESULT window::handle_hit_test(LPARAM lparam)
{
    int border = MulDiv(holder_.border_width, holder_.dpi_x(), 96);
    if (border == 0)
        return DefWindowProcW(handle(), WM_NCHITTEST, 0, lparam);
    RECT frame{};
    GetWindowRect(handle(), &frame);
    int px = GET_X_LPARAM(lparam) - frame.left;
    int py = GET_Y_LPARAM(lparam) - frame.top;
    int w = frame.right - frame.left;
    int h = frame.bottom - frame.top;
    if (px < border && py < border)
        return HTTOPLEFT;
    if (px > w - border && py < border)
        return HTTOPRIGHT;
    if (px > w - border && py > h - border)
        return HTBOTTOMRIGHT;
    if (px < border)
        return py > h - border ? HTBOTTOMLEFT : HTLEFT;
    if (py < border)
        return HTTOP;
    if (px <= w - border)
        return py > h - border ? HTBOTTOM : HTCLIENT;
    return HTRIGHT;
}

void window::handle_min_max(MINMAXINFO* info)
{
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, holder_.style, FALSE, holder_.extended_style);
    int frame_width = frame.right - frame.left;
    int frame_height = frame.bottom - frame.top;
    info->ptMinTrackSize = {holder_.to_pixels_x(holder_.minimum_width) + frame_width,
                            holder_.to_pixels_y(holder_.minimum_height) + frame_height};
    info->ptMaxTrackSize = {holder_.to_pixels_x(holder_.maximum_width) + frame_width,
                            holder_.to_pixels_y(holder_.maximum_height) + frame_height};
    if (IsZoomed(handle()))
        holder_.maximized = false;
}

}  // namespace qzsdk::ui
