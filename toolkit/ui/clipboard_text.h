#pragma once
// Unicode text on the clipboard.
#include <optional>
#include <string>
#include <string_view>

namespace qzsdk::ui {

// False when the clipboard cannot be opened or refuses the text.
bool copy_text_to_clipboard(std::wstring_view text);
// Nothing when the clipboard cannot be opened or holds no Unicode text. Reads no further than the
// block's own size, up to its first zero.
std::optional<std::wstring> text_from_clipboard();

}  // namespace qzsdk::ui
