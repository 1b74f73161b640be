#include "standin/module_windows.h"

namespace standin {

namespace {

struct Search {
    HMODULE module;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_visible(HWND window, LPARAM search_data)
{
    auto* search = reinterpret_cast<Search*>(search_data);
    if (IsWindowVisible(window) && is_module_window(window, search->module))
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

bool is_module_window(HWND window, HMODULE module)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId() && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) &&
           runs_module_code(window, module);
}

bool runs_module_code(HWND window, HMODULE module)
{
    if (!module)
        return false;
    auto procedure = reinterpret_cast<LPCWSTR>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    HMODULE owner = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              procedure, &owner) &&
           owner == module;
}

std::vector<HWND> visible_module_windows(HMODULE module)
{
    Search search{module, {}};
    EnumWindows(&collect_visible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool module_paint_pending(HMODULE module)
{
    for (HWND window : visible_module_windows(module))
        if (GetUpdateRect(window, nullptr, FALSE))
            return true;
    return false;
}

std::wstring window_title(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), length + 1));
    return text;
}

std::wstring window_class(HWND window)
{
    wchar_t name[256] = {};
    return std::wstring(name, GetClassNameW(window, name, 256));
}

}  // namespace standin
