#include "tests/support/real_input.h"

#include <vector>

namespace qzsdk::test {
namespace {

void send(std::vector<INPUT>& inputs)
{
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT mouse(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

}  // namespace

void send_keys(std::initializer_list<std::pair<WORD, bool>> strokes)
{
    std::vector<INPUT> inputs;
    for (auto [key, down] : strokes) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = WORD(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    send(inputs);
}

void send_text(std::wstring_view text)
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
    send(inputs);
}

void send_click(POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    std::vector<INPUT> inputs{mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP)};
    send(inputs);
}

}  // namespace qzsdk::test
