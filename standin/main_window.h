#pragma once
// The host's main window: a menu bar whose fifth menu is "Effect", one submenu per effect category, and a
// client area that shows what the project holds.
#include "standin/project.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace standin {

class MainWindow {
public:
    using EffectCommand = std::function<void(int effect)>;
    using StatusLines = std::function<std::vector<std::wstring>()>;

    MainWindow(const Project& project, bool visible, EffectCommand on_effect, StatusLines status);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    bool closed() const { return closed_; }
    void rebuild_menu(const Project& project);

    static constexpr UINT first_effect_command = 0x1000;
    static constexpr UINT exit_command = 102;

private:
    static LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    void paint();

    EffectCommand on_effect_;
    StatusLines status_;
    HWND hwnd_ = nullptr;
    bool closed_ = false;
};

// "&" doubled, as menu item texts write a literal ampersand.
std::wstring menu_text(const std::string& utf8);
// The menu bar: File, Edit, Composition, Layer, Effect, Window, Help.
HMENU build_menu_bar(const Project& project);

}  // namespace standin
