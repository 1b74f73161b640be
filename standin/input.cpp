#include "standin/input.h"

#include <algorithm>
#include <vector>

namespace standin {

namespace {

INPUT key_input(WORD key, bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    // The navigation cluster's keys are extended keys on a real keyboard.
    bool extended = key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT || key == VK_LWIN ||
                    key == VK_DELETE || key == VK_HOME || key == VK_END || key == VK_PRIOR || key == VK_NEXT;
    input.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

INPUT mouse_input(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

// Absolute coordinates are normalised to 0..65535 over the primary screen.
INPUT mouse_move_to(int x, int y, DWORD button_flags = 0)
{
    INPUT input = mouse_input(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button_flags);
    input.mi.dx = MulDiv(x, 65535, std::max(1, GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = MulDiv(y, 65535, std::max(1, GetSystemMetrics(SM_CYSCREEN) - 1));
    return input;
}

DWORD button_flag(MouseButton button, bool down)
{
    if (button == MouseButton::left)
        return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
}

// A press or release that carries its point: one sent after a separate move lands wherever the cursor is by
// then, and under X a late pointer crossing of a window that opened or closed under the old position can
// put the cursor back there in between.
INPUT mouse_button_at(POINT at, MouseButton button, bool down)
{
    return mouse_move_to(at.x, at.y, button_flag(button, down));
}

bool send(std::vector<INPUT>& inputs)
{
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

}  // namespace

bool send_key(WORD key, bool down)
{
    std::vector<INPUT> inputs{key_input(key, down)};
    return send(inputs);
}

bool send_chord(const KeyChord& chord, bool down)
{
    std::vector<WORD> keys = keys_of(chord);
    if (!down)
        std::reverse(keys.begin(), keys.end());
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(key_input(key, down));
    return send(inputs);
}

bool send_text(const std::wstring& text)
{
    std::vector<INPUT> inputs;
    for (wchar_t c : text)
        for (bool down : {true, false}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (down ? 0 : KEYEVENTF_KEYUP);
            inputs.push_back(input);
        }
    return inputs.empty() || send(inputs);
}

bool send_mouse_move(POINT to)
{
    std::vector<INPUT> move{mouse_move_to(to.x, to.y)};
    return send(move);
}

bool send_mouse_button(MouseButton button, bool down)
{
    std::vector<INPUT> press{mouse_input(button_flag(button, down))};
    return send(press);
}

bool send_mouse_button_at(POINT at, MouseButton button, bool down)
{
    std::vector<INPUT> inputs{mouse_button_at(at, button, down)};
    return send(inputs);
}

bool send_click(int x, int y, MouseButton button, int count)
{
    std::vector<INPUT> inputs;
    for (int i = 0; i < count; ++i)
        for (bool down : {true, false})
            inputs.push_back(mouse_button_at(POINT{x, y}, button, down));
    return send(inputs);
}

}  // namespace standin
