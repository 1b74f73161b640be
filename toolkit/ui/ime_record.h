#pragma once
// A window's input-method state: the composition being typed, the keyboard layout and where the
// candidate window goes. Every operation does nothing when the window has no input context.
#include <windows.h>

#include <string>

#include "toolkit/ui/rect.h"

namespace qzsdk::ui {

enum class ime_language : uint32_t { other = 0, japanese = 1, korean = 2 };

class ime_record {
public:
    explicit ime_record(HWND handle);

    bool composing = false;
    bool converting = false;       // the composition has a converted clause
    rect caret;                    // where the candidate window goes, 96-dpi client units
    std::wstring composition;
    UINT last_key = 0;
    wchar_t last_key_char = 0;
    int cursor = 0;                // in [0, composition length]

    // Also on an input-language change: a composition in progress is completed first.
    void refresh_layout();
    ime_language language() const;
    bool is_korean_layout() const { return language() == ime_language::korean; }
    bool layout_is_ime() const { return layout_is_ime_; }
    void place_candidate_window();
    // Reads the string of the given kind (GCS_RESULTSTR or GCS_COMPSTR) when the message's change
    // flags name it (a result is always read); false when there is none to read.
    bool read_string(DWORD kind, LPARAM change_flags);
    void store_key();

    // Commits whatever is being composed.
    void complete_composition();
    void associate_default_context();
    void detach_context();

private:
    void read_cursor(HIMC context, DWORD kind);

    HWND handle_;
    HKL layout_ = nullptr;
    bool layout_is_ime_ = false;
};

}  // namespace qzsdk::ui
