#include "toolkit/ui/native_window.h"

#include "toolkit/platform/qz_exception.h"
#include "toolkit/ui/screen_dpi.h"

namespace qzsdk::ui {

native_window::native_window(ui::window* owner)
    : window_(owner), ole_result_(OleInitialize(nullptr)), drop_target_(native_drop_target::create(this))
{
    CoLockObjectExternal(drop_target_, TRUE, FALSE);
}

native_window::~native_window()
{
    detach_from_handle();
    if (drop_target_registered_ && handle_)
        RevokeDragDrop(handle_);
    if (owns_handle_ && handle_) {
        restore_owner();
        DestroyWindow(handle_);
    }
    drop_target_->forget_holder();
    CoLockObjectExternal(drop_target_, FALSE, TRUE);
    drop_target_->Release();
    if (SUCCEEDED(ole_result_))
        OleUninitialize();
}

void native_window::wrap(HWND foreign)
{
    handle_ = foreign;
    owns_handle_ = false;
    window_ = nullptr;
}

void native_window::create(const wchar_t* class_name, int32_t x, int32_t y, int32_t width, int32_t height,
                           HWND native_owner)
{
    point dpi = screen_dpi();
    dpi_x_ = dpi.x;
    dpi_y_ = dpi.y;
    RECT outer{0, 0, to_pixels_x(width), to_pixels_y(height)};
    AdjustWindowRectEx(&outer, style, FALSE, extended_style);
    HWND created = CreateWindowExW(extended_style, class_name, L"", style, to_pixels_x(x), to_pixels_y(y),
                                   outer.right - outer.left, outer.bottom - outer.top, native_owner, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    if (!created)
        throw qz_exception("unable to create the native window");
    handle_ = created;
    owns_handle_ = true;
    SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void native_window::detach_from_handle()
{
    if (owns_handle_ && handle_ &&
        GetWindowLongPtrW(handle_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
}

void native_window::register_drop_target()
{
    if (!handle_ || !owns_handle_ || drop_target_registered_)
        return;
    drop_target_registered_ = SUCCEEDED(RegisterDragDrop(handle_, drop_target_));
}

HWND native_window::native_owner() const
{
    if (!handle_)
        return nullptr;
    HWND owner = GetWindow(handle_, GW_OWNER);
    return owner == GetDesktopWindow() ? nullptr : owner;
}

void native_window::disable_owner()
{
    HWND owner = native_owner();
    if (owner && !owner_disabled_ && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        owner_disabled_ = true;
    }
}

void native_window::restore_owner()
{
    HWND owner = native_owner();
    if (!owner_disabled_)
        return;
    owner_disabled_ = false;
    if (owner) {
        EnableWindow(owner, TRUE);
        // A hidden owner cannot be typed into; the keyboard would go nowhere the user can see.
        if (IsWindowVisible(owner))
            SetFocus(owner);
    }
}

}  // namespace qzsdk::ui
