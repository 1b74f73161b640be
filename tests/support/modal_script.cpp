#include "tests/support/modal_script.h"

namespace qzsdk::test {
namespace {

modal_script* active = nullptr;

}  // namespace

modal_script::modal_script(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {}

modal_script::~modal_script()
{
    if (timer_)
        KillTimer(nullptr, timer_);
    active = nullptr;
}

int32_t modal_script::run(ui::window& popup)
{
    popup_ = &popup;
    active = this;
    timer_ = SetTimer(nullptr, 0, 40, &modal_script::tick);
    int32_t result = popup.show_modal();
    KillTimer(nullptr, timer_);
    timer_ = 0;
    active = nullptr;
    return result;
}

void modal_script::start()
{
    active = this;
    timer_ = SetTimer(nullptr, 0, 40, &modal_script::tick);
}

void CALLBACK modal_script::tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (active)
        active->step();
}

void modal_script::step()
{
    if (next_ < steps_.size()) {
        // The step may end the loop; the timer goes with run's return.
        steps_[next_++]();
        return;
    }
    if (popup_ && popup_->handle() && IsWindowVisible(popup_->handle()))
        popup_->end_modal(0);
}

void post_key(HWND target, UINT virtual_key)
{
    UINT scan = MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
    LPARAM data = 1 | (static_cast<LPARAM>(scan) << 16);
    PostMessageW(target, WM_KEYDOWN, virtual_key, data);
    wchar_t typed = static_cast<wchar_t>(MapVirtualKeyW(virtual_key, MAPVK_VK_TO_CHAR));
    if (typed)
        PostMessageW(target, WM_CHAR, typed, data);
    PostMessageW(target, WM_KEYUP, virtual_key, data | (1u << 30) | (1u << 31));
}

void post_text(HWND target, const std::wstring& text)
{
    for (wchar_t c : text)
        PostMessageW(target, WM_CHAR, c, 1);
}

void post_click(HWND target, int x, int y, bool right)
{
    POINT screen{x, y};
    ClientToScreen(target, &screen);
    SetCursorPos(screen.x, screen.y);
    LPARAM where = MAKELPARAM(x, y);
    PostMessageW(target, WM_MOUSEMOVE, 0, where);
    PostMessageW(target, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, where);
    PostMessageW(target, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, where);
}

}  // namespace qzsdk::test
