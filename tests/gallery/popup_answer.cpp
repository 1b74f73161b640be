#include "tests/gallery/popup_answer.h"

#include <algorithm>
#include <vector>

namespace gallery_test {

namespace {

std::vector<popup_answer*> active;

}  // namespace

popup_answer::popup_answer(std::wstring title, POINT click) : title_(std::move(title)), click_(true), point_(click)
{
    active.push_back(this);
    timer_ = SetTimer(nullptr, 0, 50, &popup_answer::on_timer);
}

popup_answer::popup_answer(std::wstring title) : title_(std::move(title)), click_(false), point_{}
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
    const auto self = std::find_if(active.begin(), active.end(), [timer](popup_answer* a) { return a->timer_ == timer; });
    if (self != active.end())
        (*self)->answer();
}

void popup_answer::answer()
{
    HWND popup = FindWindowW(nullptr, title_.c_str());
    if (!popup || !IsWindowVisible(popup))
        return;
    ++answered_;
    GetWindowRect(popup, &placed_);
    if (click_) {
        const LPARAM at = MAKELPARAM(point_.x, point_.y);
        SendMessageW(popup, WM_MOUSEMOVE, 0, at);
        SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(popup, WM_LBUTTONUP, 0, at);
    } else {
        SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    }
}

}  // namespace gallery_test
