#pragma once
#include <utility>

#include "toolkit/ui/renderer.h"

namespace qzsdk::ui {

class renderer_test_api {
public:
    static void lose_device(renderer& r) { r.recover_from(D2DERR_RECREATE_TARGET); }
    // Returns the bitmap it replaces.
    static Microsoft::WRL::ComPtr<IWICBitmap> exchange_bitmap(renderer& r, Microsoft::WRL::ComPtr<IWICBitmap> other)
    {
        r.wic_target_.Swap(other);
        return other;
    }
    static ID2D1Factory* factory(const renderer& r) { return r.factory_.get(); }
    // Returns the window handle it replaces.
    static HWND exchange_handle(renderer& r, HWND other) { return std::exchange(r.handle_, other); }
};

}  // namespace qzsdk::ui
