#pragma once
// Drives a native popup menu loop from a timer that runs inside it: on the first tick the open menu is
// inspected, then one key is posted to it per tick; when the keys run out the menu is ended.
#include <windows.h>

#include <functional>
#include <vector>

namespace qzsdk::test {

class menu_driver {
public:
    explicit menu_driver(std::vector<WPARAM> keys, std::function<void(HMENU, HWND)> inspect = {});
    ~menu_driver();
    menu_driver(const menu_driver&) = delete;
    menu_driver& operator=(const menu_driver&) = delete;

    // Whether a menu window was seen open.
    bool opened() const { return opened_; }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void step();

    std::vector<WPARAM> keys_;
    std::function<void(HMENU, HWND)> inspect_;
    UINT_PTR timer_ = 0;
    bool opened_ = false;
    size_t next_key_ = 0;
};

}  // namespace qzsdk::test
