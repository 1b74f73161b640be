#include "toolkit/ui/ime_record.h"

#include <windows.h>

#include <imm.h>

#include <algorithm>
#include <vector>

#include "toolkit/ui/screen_dpi.h"

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

ime_record::ime_record(HWND handle) : handle_(handle)
{
    // Composition stays off until a text input asks for it.
    ImmAssociateContext(handle, nullptr);
    refresh_layout();
}

void ime_record::refresh_layout()
{
    layout_ = GetKeyboardLayout(0);
    layout_is_ime_ = ImmIsIME(layout_) == TRUE;
    if (composing)
        complete_composition();
}

ime_language ime_record::language() const
{
    switch (PRIMARYLANGID(LOWORD(reinterpret_cast<uintptr_t>(layout_)))) {
    case LANG_JAPANESE:
        return ime_language::japanese;
    case LANG_KOREAN:
        return ime_language::korean;
    default:
        return ime_language::other;
    }
}

void ime_record::place_candidate_window()
{
    input_context context(handle_);
    if (!context.get())
        return;
    // The rectangle is kept in 96-dpi units; the system wants pixels.
    point dpi = screen_dpi();
    RECT area{MulDiv(caret.x, dpi.x, 96), MulDiv(caret.y, dpi.y, 96), MulDiv(caret.x + caret.width, dpi.x, 96),
              MulDiv(caret.y + caret.height, dpi.y, 96)};
    CANDIDATEFORM form{};
    form.dwIndex = 0;
    form.dwStyle = CFS_EXCLUDE;
    form.ptCurrentPos = {area.left, area.top};
    form.rcArea = area;
    ImmSetCandidateWindow(context.get(), &form);
}

bool ime_record::read_string(DWORD kind, LPARAM change_flags)
{
    input_context context(handle_);
    if (!context.get() || (!(change_flags & static_cast<LPARAM>(kind)) && kind != GCS_RESULTSTR))
        return false;
    LONG bytes = ImmGetCompositionStringW(context.get(), kind, nullptr, 0);
    composition.clear();
    if (bytes > 0) {
        // Sized by the context itself: a composition of any length fits.
        composition.assign(static_cast<size_t>(bytes) / sizeof(wchar_t), L'\0');
        LONG got = ImmGetCompositionStringW(context.get(), kind, composition.data(), static_cast<DWORD>(bytes));
        composition.resize(got > 0 ? std::min(composition.size(), static_cast<size_t>(got) / sizeof(wchar_t)) : 0);
    }
    converting = false;
    if ((change_flags & GCS_COMPATTR) && kind != GCS_RESULTSTR) {
        LONG length = ImmGetCompositionStringW(context.get(), GCS_COMPATTR, nullptr, 0);
        if (length > 0) {
            std::vector<BYTE> attributes(static_cast<size_t>(length));
            length = ImmGetCompositionStringW(context.get(), GCS_COMPATTR, attributes.data(),
                                              static_cast<DWORD>(length));
            attributes.resize(length > 0 ? std::min(attributes.size(), static_cast<size_t>(length)) : 0);
            converting = std::find(attributes.begin(), attributes.end(), ATTR_TARGET_CONVERTED) != attributes.end();
        }
    }
    read_cursor(context.get(), kind);
    return true;
}

void ime_record::read_cursor(HIMC context, DWORD kind)
{
    const int length = static_cast<int>(composition.size());
    if (kind == GCS_RESULTSTR || is_korean_layout()) {
        cursor = length;
    } else if (converting) {
        if (last_key == VK_END)
            cursor = length;
        else if (last_key == VK_HOME)
            cursor = 0;
        else if (last_key == VK_LEFT)
            cursor -= 1;
        else if (last_key == VK_RIGHT)
            cursor += 1;
    } else {
        cursor = ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0);
    }
    // The context may report a position outside the string it gave (or an error code).
    cursor = std::clamp(cursor, 0, length);
}

void ime_record::store_key()
{
    last_key = ImmGetVirtualKey(handle_);
    last_key_char = static_cast<wchar_t>(MapVirtualKeyW(last_key, MAPVK_VK_TO_CHAR));
}

void ime_record::complete_composition()
{
    input_context context(handle_);
    if (context.get())
        ImmNotifyIME(context.get(), NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
}

void ime_record::associate_default_context()
{
    ImmAssociateContextEx(handle_, nullptr, IACE_DEFAULT);
}

void ime_record::detach_context()
{
    ImmAssociateContextEx(handle_, nullptr, 0);
}

}  // namespace qzsdk::ui
