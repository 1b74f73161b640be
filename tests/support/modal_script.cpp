#include "tests/support/modal_script.h"

#include "toolkit/ui/native_window.h"

#include <gtest/gtest.h>

namespace qzsdk::test {
namespace {

modal_script* active = nullptr;
modal_steps* playing = nullptr;

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

modal_steps::modal_steps(std::vector<step> steps, std::source_location made_at)
    : steps_(std::move(steps)), made_at_(made_at), waiting_since_(GetTickCount64())
{
    playing = this;
    timer_ = SetTimer(nullptr, 0, 20, &modal_steps::tick);
}

modal_steps::~modal_steps()
{
    KillTimer(nullptr, timer_);
    playing = nullptr;
    // The quit message that ended the loops must not end the next one the test opens.
    MSG quit;
    if (given_up_)
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

void CALLBACK modal_steps::tick(HWND, UINT, UINT_PTR, DWORD)
{
    modal_steps* script = playing;
    if (!script || script->running_ || script->given_up_ || script->finished())
        return;
    if (!script->steps_[script->next_].ready()) {
        if (GetTickCount64() - script->waiting_since_ > wait_limit_ms)
            script->give_up();
        return;
    }
    script->running_ = true;
    script->steps_[script->next_++].action();
    script->running_ = false;
    script->waiting_since_ = GetTickCount64();
}

void modal_steps::give_up()
{
    given_up_ = true;
    ADD_FAILURE_AT(made_at_.file_name(), static_cast<int>(made_at_.line()))
        << "step " << next_ + 1 << " of " << steps_.size() << " of this modal script: its condition did not hold within "
        << wait_limit_ms / 1000 << " s; every modal loop is ended";
    // Each modal loop that takes the quit message posts it again for the loop outside it.
    PostQuitMessage(0);
}

ui::window* find_window(const std::wstring& title)
{
    struct search {
        const std::wstring& title;
        ui::window* found = nullptr;
    } wanted{title};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND handle, LPARAM data) -> BOOL {
            auto* wanted = reinterpret_cast<search*>(data);
            wchar_t text[256] = {};
            GetWindowTextW(handle, text, 256);
            auto* holder = reinterpret_cast<ui::native_window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
            if (holder && IsWindowVisible(handle) && wanted->title == text)
                wanted->found = holder->owner_window();
            return wanted->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&wanted));
    return wanted.found;
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
