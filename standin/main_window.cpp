#include "standin/main_window.h"

#include "standin/text_codec.h"

#include <algorithm>
#include <stdexcept>

namespace standin {

namespace {

constexpr wchar_t class_name[] = L"StandinHostMainWindow";

void register_class()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    window_class.lpszClassName = class_name;
    if (!RegisterClassExW(&window_class))
        throw std::runtime_error("cannot register the main window class");
    registered = true;
}

// Commands of the menus that do nothing here; File's last item is Exit.
HMENU plain_menu(UINT id, std::initializer_list<const wchar_t*> items)
{
    HMENU menu = CreatePopupMenu();
    for (const wchar_t* item : items)
        AppendMenuW(menu, MF_STRING, id++, item);
    return menu;
}

HMENU effect_menu(const Project& project)
{
    HMENU menu = CreatePopupMenu();
    std::vector<std::string> categories;
    for (const InstalledEffect& effect : project.effects)
        if (!effect.category.empty() &&
            std::find(categories.begin(), categories.end(), effect.category) == categories.end())
            categories.push_back(effect.category);
    for (const std::string& category : categories) {
        HMENU submenu = CreatePopupMenu();
        bool all_greyed = true;
        for (size_t i = 0; i < project.effects.size(); ++i) {
            const InstalledEffect& effect = project.effects[i];
            if (effect.category != category)
                continue;
            all_greyed = all_greyed && effect.greyed;
            AppendMenuW(submenu, MF_STRING | (effect.greyed ? MF_GRAYED : 0),
                        MainWindow::first_effect_command + i, menu_text(effect.name).c_str());
        }
        // A category whose every effect is greyed is greyed itself.
        AppendMenuW(menu, MF_POPUP | (all_greyed ? MF_GRAYED : 0), reinterpret_cast<UINT_PTR>(submenu),
                    menu_text(category).c_str());
    }
    return menu;
}

}  // namespace

std::wstring menu_text(const std::string& utf8)
{
    std::wstring text;
    for (wchar_t c : to_wide(utf8)) {
        text += c;
        if (c == L'&')
            text += L'&';
    }
    return text;
}

HMENU build_menu_bar(const Project& project)
{
    HMENU bar = CreateMenu();
    auto add = [bar](HMENU menu, const wchar_t* text) {
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), text);
    };
    add(plain_menu(MainWindow::exit_command - 2, {L"&New Project", L"&Open Project...", L"E&xit"}), L"&File");
    add(plain_menu(110, {L"&Undo", L"&Redo"}), L"&Edit");
    add(plain_menu(120, {L"&New Composition..."}), L"&Composition");
    add(plain_menu(130, {L"&New", L"&Solo"}), L"&Layer");
    add(effect_menu(project), L"Effect");
    add(plain_menu(140, {L"&Workspace"}), L"&Window");
    add(plain_menu(150, {L"&About"}), L"&Help");
    return bar;
}

MainWindow::MainWindow(const Project& project, bool visible, EffectCommand on_effect, StatusLines status)
    : on_effect_(std::move(on_effect)), status_(std::move(status))
{
    register_class();
    hwnd_ = CreateWindowExW(0, class_name, L"Stand-in host", WS_OVERLAPPEDWINDOW, 0, 0, 1024, 700, nullptr,
                            build_menu_bar(project), GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_)
        throw std::runtime_error("cannot create the main window");
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&window_procedure));
    if (visible) {
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        UpdateWindow(hwnd_);
    }
}

MainWindow::~MainWindow()
{
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);  // destroys the menu bar with it
    }
}

void MainWindow::rebuild_menu(const Project& project)
{
    HMENU old = GetMenu(hwnd_);
    SetMenu(hwnd_, build_menu_bar(project));
    DestroyMenu(old);
    DrawMenuBar(hwnd_);
}

LRESULT CALLBACK MainWindow::window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window)
        return DefWindowProcW(hwnd, message, wparam, lparam);
    return window->handle(message, wparam, lparam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wparam) == exit_command && lparam == 0) {
            PostMessageW(hwnd_, WM_CLOSE, 0, 0);
            return 0;
        }
        if (LOWORD(wparam) >= first_effect_command && HIWORD(wparam) == 0 && lparam == 0) {
            on_effect_(LOWORD(wparam) - first_effect_command);
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        }
        break;
    case WM_PAINT:
        paint();
        return 0;
    case WM_CLOSE:
        // The window stays until its owner destroys it; closing only ends the interactive loop.
        closed_ = true;
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void MainWindow::paint()
{
    PAINTSTRUCT paint_struct;
    HDC dc = BeginPaint(hwnd_, &paint_struct);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto old_font = SelectObject(dc, font);
    int y = 12;
    for (const std::wstring& line : status_()) {
        TextOutW(dc, 12, y, line.c_str(), static_cast<int>(line.size()));
        y += 18;
    }
    SelectObject(dc, old_font);
    EndPaint(hwnd_, &paint_struct);
}

}  // namespace standin
