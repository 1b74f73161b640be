#pragma once
// The per-window holder of the Win32 handle and its native state. It can also wrap a window made
// elsewhere (the host's main window) without owning it.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "toolkit/ui/native_drop_target.h"

namespace qzsdk::ui {

class widget;
class window;

struct widget_timer {
    widget* target = nullptr;
    uint32_t timer_id = 0;
    bool one_shot = false;
};

class native_window {
public:
    explicit native_window(ui::window* owner);
    ~native_window();

    HWND handle() const { return handle_; }
    ui::window* owner_window() const { return window_; }
    int dpi_x() const { return dpi_x_; }
    int dpi_y() const { return dpi_y_; }

    // Takes a window the toolkit did not create; it is never destroyed, subclassed or revoked here.
    void wrap(HWND foreign);
    // Creates the native window and attaches this holder to it; throws when the system refuses.
    // Position and client size in 96-dpi units; style and extended style are set beforehand.
    void create(const wchar_t* class_name, int32_t x, int32_t y, int32_t width, int32_t height, HWND native_owner);
    // Late messages (during DestroyWindow) then reach DefWindowProcW.
    void detach_from_handle();
    void register_drop_target();

    // The native owner, unless absent or the desktop.
    HWND native_owner() const;
    // Disables the owner for a modal loop; remembers whether it was this call that disabled it.
    void disable_owner();
    void restore_owner();

    int32_t to_pixels_x(int32_t units) const { return MulDiv(units, dpi_x_, 96); }
    int32_t to_pixels_y(int32_t units) const { return MulDiv(units, dpi_y_, 96); }
    int32_t to_units_x(int32_t pixels) const { return pixels * 96 / dpi_x_; }
    int32_t to_units_y(int32_t pixels) const { return pixels * 96 / dpi_y_; }

    bool running = false;
    bool visible = false;
    bool maximized = false;
    uint32_t timer_counter = 0;
    std::unordered_map<uint32_t, widget_timer> timers;
    DWORD style = 0;
    DWORD extended_style = 0;
    int32_t border_width = 8;
    bool resizable_borderless = false;
    int32_t minimum_width = 0;
    int32_t minimum_height = 0;
    int32_t maximum_width = 100000;
    int32_t maximum_height = 100000;

private:
    friend class native_window_test_api;

    HWND handle_ = nullptr;
    ui::window* window_;
    bool owns_handle_ = false;
    int dpi_x_ = 96;
    int dpi_y_ = 96;
    HRESULT ole_result_;
    // Shared with OLE, which may hold it past this holder during a drag.
    native_drop_target* drop_target_;
    bool drop_target_registered_ = false;
    bool owner_disabled_ = false;
};

}  // namespace qzsdk::ui
