#include "tests/support/window_fixture.h"

#include <windowsx.h>

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace qzsdk::test {

void pump_messages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void event_log::listen(ui::event_object* source, const std::string& name, std::vector<uint32_t> ids)
{
    for (uint32_t id : ids) {
        ui::event_manager::instance().connect(source, this, id, [this, name](const ui::event_info& info) {
            lines_.emplace_back(info.id, name + ":" + std::to_string(info.id) + ":" + std::to_string(info.param));
        });
    }
}

std::vector<std::string> event_log::take()
{
    return take(UINT32_MAX);
}

std::vector<std::string> event_log::take(uint32_t id)
{
    std::vector<std::string> result;
    for (auto& [event, line] : std::exchange(lines_, {}))
        if (id == UINT32_MAX || event == id)
            result.push_back(line);
    return result;
}

reported_exceptions::reported_exceptions()
{
    previous_ = ui::set_exception_reporter([this](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            messages.push_back(e.what());
        } catch (...) {
            messages.push_back("?");
        }
    });
}

reported_exceptions::~reported_exceptions()
{
    ui::set_exception_reporter(previous_);
}

void window_test::SetUp()
{
    window.create("test", ui::rect{20, 20, 300, 200}, ui::window_style::borderless);
    ASSERT_NE(window.handle(), nullptr);
}

void window_test::TearDown()
{
    pump_messages();
    ReleaseCapture();
    ui::set_captured_widget(nullptr);
}

LRESULT window_test::send(UINT message, WPARAM wparam, LPARAM lparam)
{
    return SendMessageW(window.handle(), message, wparam, lparam);
}

void window_test::mouse(UINT message, int x, int y, WPARAM keys)
{
    send(message, keys, MAKELPARAM(x, y));
}

void window_test::mouse_at(UINT message, int x, int y, WPARAM keys)
{
    place_cursor(x, y);
    mouse(message, x, y, keys);
}

void window_test::move_to(int x, int y)
{
    mouse(WM_MOUSEMOVE, x, y);
}

bool take_exposure(HWND window, const RECT& area, DWORD timeout_ms)
{
    HRGN wanted = CreateRectRgnIndirect(&area);
    HRGN missing = CreateRectRgn(0, 0, 0, 0);
    ValidateRgn(window, wanted);
    auto exposed = [&] {
        GetUpdateRgn(window, missing, FALSE);
        return CombineRgn(missing, wanted, missing, RGN_DIFF) == NULLREGION;
    };
    const DWORD start = GetTickCount();
    bool came = exposed();
    while (!came && GetTickCount() - start <= timeout_ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_PAINT);
        came = exposed();
    }
    DeleteObject(missing);
    DeleteObject(wanted);
    return came;
}

COLORREF client_pixel(HWND window, int x, int y)
{
    UpdateWindow(window);
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

bool shows_color(HWND window, int x, int y, int r, int g, int b)
{
    return pump_until([&] {
        COLORREF actual = client_pixel(window, x, y);
        return std::abs(GetRValue(actual) - r) <= 2 && std::abs(GetGValue(actual) - g) <= 2 &&
               std::abs(GetBValue(actual) - b) <= 2;
    });
}

void window_test::place_cursor(int x, int y)
{
    POINT screen{x, y};
    ClientToScreen(window.handle(), &screen);
    SetCursorPos(screen.x, screen.y);
}

void window_test::show_without_focus()
{
    ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
    pump_messages();
    ValidateRect(window.handle(), nullptr);
}

std::vector<std::string> window_test::paint_now()
{
    painted_.clear();
    UpdateWindow(window.handle());
    return painted_;
}

void window_test::record_paints(ui::widget& target)
{
    ui::event_manager::instance().connect(&target, &target, ui::event_id::paint,
                                          [this, &target](const ui::event_info&) { painted_.push_back(target.name); });
}

}  // namespace qzsdk::test
