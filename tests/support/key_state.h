#pragma once
// Drives what GetKeyState reports on the calling thread, without real input: keys are pressed and released
// in the thread's keyboard state. The state found at construction comes back at destruction.
#include <windows.h>

namespace qzsdk::test {

class key_state {
public:
    key_state();  // every key up
    ~key_state();
    key_state(const key_state&) = delete;
    key_state& operator=(const key_state&) = delete;

    // Sided modifiers (VK_LCONTROL, VK_RSHIFT, ...) also set or clear their generic code.
    void press(int virtual_key);
    void release(int virtual_key);

private:
    void apply();

    BYTE saved_[256];
    BYTE current_[256] = {};
};

}  // namespace qzsdk::test
