#include "toolkit/ui/window_procedure.h"

#include "toolkit/platform/qz_exception.h"
#include "toolkit/ui/guarded_call.h"
#include "toolkit/ui/invalidation_batch.h"
#include "toolkit/ui/native_window.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {

struct window_message {
    window* target;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;

    static LRESULT dispatch(void* context)
    {
        auto* call = static_cast<window_message*>(context);
        return call->target->handle_message(call->message, call->wparam, call->lparam);
    }
};

namespace {

LRESULT CALLBACK window_procedure(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* holder = reinterpret_cast<native_window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (!holder || !holder->owner_window() || holder->handle() != handle)
        return DefWindowProcW(handle, message, wparam, lparam);
    window_message call{holder->owner_window(), message, wparam, lparam};
    invalidation_batch::dispatch_scope batch;
    return guarded_call(&window_message::dispatch, &call, 0, call.target);
}

std::wstring register_window_class()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::wstring name = L"QZSDK_WINDOW_CLASS";
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    while (name.size() < 256 && GetClassInfoExW(instance, name.c_str(), &existing))
        name += L'0';
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.lpszClassName = name.c_str();
    if (!RegisterClassExW(&window_class))
        throw qz_exception("unable to register the window class");
    return name;
}

}  // namespace

const std::wstring& window_class_name()
{
    static const std::wstring name = register_window_class();
    return name;
}

}  // namespace qzsdk::ui
