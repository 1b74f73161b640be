#pragma once
#include <string>
#include <string_view>

// A new shortcut's button label: the name's first three bytes, cut back to whole UTF-8 characters (the
// whole first character when it is longer), with a first ASCII letter upper-cased.
std::string shortcut_label(std::string_view name);
