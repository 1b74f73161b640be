#include "toolkit/ui/ime_record.h"

#include <windows.h>

#include <imm.h>

namespace qzsdk::ui {
namespace {

// The window's input context for the length of one call.
class input_context {
public:
    explicit input_context(HWND handle) : handle_(handle), context_(ImmGetContext(handle)) {}
    ~input_context()
    {
        if (context_)
            ImmReleaseContext(handle_, context_);
    }
    input_context(const input_context&) = delete;
    input_context& operator=(const input_context&) = delete;
    HIMC get() const { return context_; }

private:
    HWND handle_;
    HIMC context_;
};

}  // namespace

ime_record::ime_record(HWND handle) : handle_(handle), layout_(GetKeyboardLayout(0))
{
    // Composition stays off until a text input asks for it.
    ImmAssociateContext(handle, nullptr);
}

void ime_record::on_input_language_change()
{
    layout_ = GetKeyboardLayout(0);
}

bool ime_record::is_korean_layout() const
{
    return PRIMARYLANGID(LOWORD(reinterpret_cast<uintptr_t>(layout_))) == LANG_KOREAN;
}

void ime_record::place_candidate_window()
{
    input_context context(handle_);
    if (!context.get())
        return;
    CANDIDATEFORM form{};
    form.dwStyle = CFS_EXCLUDE;
    form.ptCurrentPos = {caret.x, caret.y + caret.height};
    form.rcArea = {caret.x, caret.y, caret.x + caret.width, caret.y + caret.height};
    ImmSetCandidateWindow(context.get(), &form);
}

bool ime_record::read_string(DWORD kind)
{
    input_context context(handle_);
    if (!context.get())
        return false;
    LONG bytes = ImmGetCompositionStringW(context.get(), kind, nullptr, 0);
    if (bytes <= 0)
        return false;
    composition.assign(static_cast<size_t>(bytes) / sizeof(wchar_t), L'\0');
    ImmGetCompositionStringW(context.get(), kind, composition.data(), static_cast<DWORD>(bytes));
    if (kind == GCS_COMPSTR)
        cursor = ImmGetCompositionStringW(context.get(), GCS_CURSORPOS, nullptr, 0);
    return true;
}

void ime_record::store_key()
{
    last_key = ImmGetVirtualKey(handle_);
    last_key_char = static_cast<wchar_t>(MapVirtualKeyW(last_key, MAPVK_VK_TO_CHAR));
}

}  // namespace qzsdk::ui
