#pragma once
#include <string>

namespace standin {

// The whole screen as a PNG file, through GDI and WIC; needs COM on the calling thread. Throws
// std::runtime_error naming the step that failed.
void save_screen_png(const std::wstring& path);

}  // namespace standin
