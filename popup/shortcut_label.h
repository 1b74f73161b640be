#pragma once
#include <string>
#include <string_view>

// A new shortcut's button label: the name's first three UTF-8 characters, with a first ASCII letter
// upper-cased.
std::string shortcut_label(std::string_view name);
// A label as its button shows it: cut as a new one is, keeping its case (labels read from the file can be
// longer than a button).
std::string shortened_label(std::string_view label);
