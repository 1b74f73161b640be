#pragma once
// A window's input-method state. The text input fills in composition handling later; the window
// only needs these calls.
#include <windows.h>

#include <string>

#include "toolkit/ui/rect.h"

namespace qzsdk::ui {

class ime_record {
public:
    explicit ime_record(HWND handle);

    bool composing = false;
    bool converting = false;       // the composition has a converted clause
    rect caret;                    // where the candidate window goes, client units
    std::wstring composition;
    UINT last_key = 0;
    wchar_t last_key_char = 0;
    int cursor = 0;

    void on_input_language_change();
    bool is_korean_layout() const;
    void place_candidate_window();
    // Reads the string of the given kind (GCS_RESULTSTR or GCS_COMPSTR); false when there is none.
    bool read_string(DWORD kind);
    void store_key();

private:
    HWND handle_;
    HKL layout_ = nullptr;
};

}  // namespace qzsdk::ui
