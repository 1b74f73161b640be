#include "tests/gallery/popup_answer.h"

#include <vector>

namespace gallery_test {

namespace {

std::vector<popup_answer*> active;

}  // namespace

popup_answer::popup_answer(std::wstring title, std::optional<POINT> click) : title_(std::move(title)), click_(click)
{
    active.push_back(this);
    timer_ = SetTimer(nullptr, 0, 50, &popup_answer::on_timer);
}

popup_answer::~popup_answer()
{
    KillTimer(nullptr, timer_);
    std::erase(active, this);
}

void CALLBACK popup_answer::on_timer(HWND, UINT, UINT_PTR timer, DWORD)
{
    for (popup_answer* self : active) {
        HWND popup = self->timer_ == timer ? FindWindowW(nullptr, self->title_.c_str()) : nullptr;
        if (!popup || !IsWindowVisible(popup))
            continue;
        ++self->answered_;
        GetWindowRect(popup, &self->placed_);
        if (!self->click_)
            SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        else
            for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
                SendMessageW(popup, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                             MAKELPARAM(self->click_->x, self->click_->y));
        return;
    }
}

}  // namespace gallery_test
