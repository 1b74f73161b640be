#pragma once
// UTF-16 surrogate halves: a character beyond the first plane is a high unit followed by a low one.
namespace qzsdk::ui {

constexpr bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace qzsdk::ui
