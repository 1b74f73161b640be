#include "standin/window_log.h"

#include "standin/module_windows.h"
#include "standin/text_codec.h"

#include <stdexcept>

namespace standin {

namespace {

WindowLog* active_log = nullptr;

void take_state(ShownWindow& record, HWND window)
{
    record.title = to_utf8(window_title(window));
    RECT rect{};
    GetWindowRect(window, &rect);
    record.rect = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    record.visible = IsWindowVisible(window) != 0;
}

}  // namespace

WindowLog::WindowLog(std::vector<ShownWindow>& records, std::function<HMODULE()> module)
    : records_(records), module_(std::move(module)),
      hook_(SetWindowsHookExW(WH_CALLWNDPROC, &hook_procedure, nullptr, GetCurrentThreadId()))
{
    if (!hook_)
        throw std::runtime_error("cannot install the window hook");
    active_log = this;
}

WindowLog::~WindowLog()
{
    UnhookWindowsHookEx(hook_);
    active_log = nullptr;
}

void WindowLog::settle()
{
    settled_ = true;
    for (ShownWindow& record : records_) {
        auto window = reinterpret_cast<HWND>(record.handle);
        if (IsWindow(window))
            take_state(record, window);
        else
            record.visible = false;
    }
}

LRESULT CALLBACK WindowLog::hook_procedure(int code, WPARAM wparam, LPARAM lparam)
{
    HHOOK hook = active_log ? active_log->hook_ : nullptr;
    if (code == HC_ACTION && active_log && !active_log->settled_) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
        active_log->on_message(call->hwnd, call->message, call->lParam);
    }
    return CallNextHookEx(hook, code, wparam, lparam);
}

void WindowLog::on_message(HWND window, UINT message, LPARAM lparam)
{
    if (message == WM_DESTROY) {
        // A handle can be reused: the record keeps what the window was at its end.
        if (ShownWindow* record = find(window)) {
            take_state(*record, window);
            record->visible = false;
            record->handle = 0;
        }
        return;
    }
    if (message != WM_WINDOWPOSCHANGED || !(reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_SHOWWINDOW) ||
        !is_module_window(window, module_()))
        return;
    ShownWindow* record = find(window);
    if (!record) {
        records_.push_back({reinterpret_cast<uintptr_t>(window), to_utf8(window_class(window)), {}, {}, true});
        record = &records_.back();
    }
    take_state(*record, window);
}

ShownWindow* WindowLog::find(HWND window)
{
    for (ShownWindow& record : records_)
        if (record.handle == reinterpret_cast<uintptr_t>(window))
            return &record;
    return nullptr;
}

}  // namespace standin
