#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/native_window.h"
#include "toolkit/ui/window.h"

#include <cstdint>
#include <string_view>

namespace {

using qzsdk::ui::generic_button;
using qzsdk::ui::widget;

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

// For the stand-in host's sessions only: the screen rectangle of a visible, enabled button of this
// toolkit window whose text is `utf8_text`, so that a session can click it with real input. 1 when found.
extern "C" int32_t ZephrinFindButton(HWND handle, const char* utf8_text, RECT* screen)
{
    auto* holder = reinterpret_cast<qzsdk::ui::native_window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (!handle || !utf8_text || !screen || !holder || holder->handle() != handle || !holder->owner_window())
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
