#include "tests/support/key_state.h"

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
    SetKeyboardState(current_);
}

}  // namespace qzsdk::test
