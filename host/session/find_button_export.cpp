#include "host/session/session_exports.h"

#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/native_window.h"
#include "toolkit/ui/window.h"
#include "toolkit/ui/window_procedure.h"

#include <cstdint>
#include <string_view>

namespace {

using qzsdk::ui::generic_button;
using qzsdk::ui::widget;

// Whether the window is one of this module's toolkit windows, the only windows whose user data is a holder
// this module may follow: its procedure is that of this module's window class (another module's copy of the
// toolkit registers a class of another name).
bool is_toolkit_window(HWND handle)
{
    WNDCLASSEXW toolkit_class{};
    toolkit_class.cbSize = sizeof(toolkit_class);
    return handle && IsWindow(handle) &&
           GetClassInfoExW(GetModuleHandleW(nullptr), qzsdk::ui::window_class_name().c_str(), &toolkit_class) &&
           reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC)) == toolkit_class.lpfnWndProc;
}

const generic_button* find_button(const widget& parent, std::string_view text)
{
    for (const widget* child : parent.children()) {
        if (!child->is_visible(true) || !child->is_enabled(true))
            continue;
        auto* button = dynamic_cast<const generic_button*>(child);
        qzsdk::ui::rect area = child->visible_area();
        if (button && button->text() == text && area.width > 0 && area.height > 0)
            return button;
        if (const generic_button* found = find_button(*child, text))
            return found;
    }
    return nullptr;
}

}  // namespace

extern "C" int32_t ZephrinFindButton(HWND handle, const char* utf8_text, RECT* screen)
{
    // Any window can be handed in; only in this module's own is the user data a holder it may follow.
    if (!utf8_text || !screen || !is_toolkit_window(handle))
        return 0;
    auto* holder = reinterpret_cast<qzsdk::ui::native_window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (!holder || holder->handle() != handle || !holder->owner_window())
        return 0;
    const generic_button* button = find_button(holder->owner_window()->root(), utf8_text);
    if (!button)
        return 0;
    qzsdk::ui::rect area = button->visible_area();
    POINT corner{holder->to_pixels_x(area.x), holder->to_pixels_y(area.y)};
    ClientToScreen(handle, &corner);
    *screen = {corner.x, corner.y, corner.x + holder->to_pixels_x(area.width),
               corner.y + holder->to_pixels_y(area.height)};
    return 1;
}
