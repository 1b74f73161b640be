#pragma once
// Finding an installed effect's command in the host's own Effect menu, so that applying it does
// everything the host's menu does.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// Position of the first item whose text equals the text exactly, case included; -1 for none.
int FindMenuItem(HMENU menu, const std::wstring& text);

// Menu texts double a literal "&".
std::wstring EscapeMenuAmpersands(std::wstring_view text);

// The command of the effect's item under its category in the fifth menu of the main window's menu bar;
// none when the menu, the category or the effect is missing or either item is disabled or checked.
std::optional<UINT> FindEffectCommand(HWND main_window, std::string_view utf8_category, std::string_view utf8_name);
