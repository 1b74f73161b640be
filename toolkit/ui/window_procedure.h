#pragma once
#include <string>

namespace qzsdk::ui {

// The window class every toolkit window uses, registered on first use. When a class of that name
// exists already (a module loaded twice into one process), "0" is appended until the name is free.
const std::wstring& window_class_name();

}  // namespace qzsdk::ui
