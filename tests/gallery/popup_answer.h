#pragma once
// Answers the next toolkit popup of the given title from a thread timer that runs inside its modal loop:
// clicks a point of it (a button, client units at 96 dpi) or, without one, presses Escape.
#include <windows.h>

#include <optional>
#include <string>

namespace gallery_test {

class popup_answer {
public:
    explicit popup_answer(std::wstring title, std::optional<POINT> click = {});
    ~popup_answer();
    popup_answer(const popup_answer&) = delete;
    popup_answer& operator=(const popup_answer&) = delete;

    int answered() const { return answered_; }
    // Where the popup stood, in screen pixels, when it was last answered.
    RECT placed() const { return placed_; }

private:
    static void CALLBACK on_timer(HWND, UINT, UINT_PTR, DWORD);

    std::wstring title_;
    std::optional<POINT> click_;
    int answered_ = 0;
    RECT placed_{};
    UINT_PTR timer_ = 0;
};

// Where the question popup's "Yes" button sits.
constexpr POINT question_yes{135, 57};

}  // namespace gallery_test
