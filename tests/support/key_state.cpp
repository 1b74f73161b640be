#include "tests/support/key_state.h"

#include <array>

namespace qzsdk::test {

key_state::key_state()
{
    GetKeyboardState(saved_);
    apply();
}

key_state::~key_state()
{
    SetKeyboardState(saved_);
}

void key_state::press(int virtual_key)
{
    current_[virtual_key & 0xFF] = 0x80;
    apply();
}

void key_state::release(int virtual_key)
{
    current_[virtual_key & 0xFF] = 0;
    apply();
}

void key_state::apply()
{
    // As real input does, a sided modifier also moves its generic code.
    for (auto [generic, left, right] : {std::array<int, 3>{VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                        std::array<int, 3>{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                                        std::array<int, 3>{VK_MENU, VK_LMENU, VK_RMENU}})
        current_[generic] = current_[left] | current_[right];
    SetKeyboardState(current_);
}

}  // namespace qzsdk::test
