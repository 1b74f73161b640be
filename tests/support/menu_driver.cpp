#include "tests/support/menu_driver.h"

namespace qzsdk::test {
namespace {

menu_driver* active = nullptr;

}  // namespace

menu_driver::menu_driver(std::vector<WPARAM> keys, std::function<void(HMENU, HWND)> inspect)
    : keys_(std::move(keys)), inspect_(std::move(inspect))
{
    active = this;
    timer_ = SetTimer(nullptr, 0, 30, &menu_driver::tick);
}

menu_driver::~menu_driver()
{
    KillTimer(nullptr, timer_);
    active = nullptr;
}

void CALLBACK menu_driver::tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (active)
        active->step();
}

void menu_driver::step()
{
    HWND menu_window = FindWindowW(L"#32768", nullptr);
    if (!menu_window || !IsWindowVisible(menu_window))
        return;
    if (!opened_) {
        opened_ = true;
        if (inspect_) {
            auto menu = reinterpret_cast<HMENU>(SendMessageW(menu_window, MN_GETHMENU, 0, 0));
            inspect_(menu, menu_window);
        }
        return;
    }
    if (next_key_ < keys_.size())
        PostMessageW(menu_window, WM_KEYDOWN, keys_[next_key_++], 0);
    else
        EndMenu();
}

}  // namespace qzsdk::test
