#include "standin/message_box_capture.h"

#include "standin/module_windows.h"
#include "standin/text_codec.h"

#include <stdexcept>

namespace standin {

namespace {

constexpr int message_text_id = 0xFFFF;
MessageBoxCapture* active_capture = nullptr;

}  // namespace

MessageBoxCapture::MessageBoxCapture(std::vector<MessageBoxRecord>& records)
    : records_(records), hook_(SetWindowsHookExW(WH_CBT, &hook_procedure, nullptr, GetCurrentThreadId()))
{
    if (!hook_)
        throw std::runtime_error("cannot install the message box hook");
    active_capture = this;
}

MessageBoxCapture::~MessageBoxCapture()
{
    UnhookWindowsHookEx(hook_);
    active_capture = nullptr;
}

LRESULT CALLBACK MessageBoxCapture::hook_procedure(int code, WPARAM wparam, LPARAM lparam)
{
    HHOOK hook = active_capture ? active_capture->hook_ : nullptr;
    if (code == HCBT_ACTIVATE && active_capture) {
        auto window = reinterpret_cast<HWND>(wparam);
        HWND text = GetDlgItem(window, message_text_id);
        // File dialogs are "#32770" too, but only a message box carries the static text 0xFFFF.
        if (text && window_class(window) == L"#32770") {
            active_capture->records_.push_back({to_utf8(window_title(window)), to_utf8(window_title(text))});
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(hook, code, wparam, lparam);
}

}  // namespace standin
