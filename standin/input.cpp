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
    bool extended = key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT || key == VK_LWIN;
    input.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
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
    std::vector<INPUT> inputs;
    if (down) {
        for (WORD modifier : chord.modifiers)
            inputs.push_back(key_input(modifier, true));
        inputs.push_back(key_input(chord.key, true));
    } else {
        inputs.push_back(key_input(chord.key, false));
        for (auto modifier = chord.modifiers.rbegin(); modifier != chord.modifiers.rend(); ++modifier)
            inputs.push_back(key_input(*modifier, false));
    }
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

bool send_click(int x, int y)
{
    if (!SetCursorPos(x, y))
        return false;
    std::vector<INPUT> inputs(2);
    for (INPUT& input : inputs)
        input.type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return send(inputs);
}

}  // namespace standin
