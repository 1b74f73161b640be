#pragma once
// Plays steps into a modal window from a timer that runs inside its own loop, one step per tick; a window
// still open after the last step is ended with 0. Helpers post real key and mouse messages to it.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/ui/window.h"

namespace qzsdk::test {

class modal_script {
public:
    explicit modal_script(std::vector<std::function<void()>> steps);
    ~modal_script();
    modal_script(const modal_script&) = delete;
    modal_script& operator=(const modal_script&) = delete;

    // Runs the window modally while the steps play; returns its result.
    int32_t run(ui::window& popup);
    // Plays the steps in whatever modal loop the code under test opens next; nothing is ended afterwards.
    void start();

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void step();

    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    ui::window* popup_ = nullptr;
    UINT_PTR timer_ = 0;
};

// Steps played from a thread timer inside whichever loop is pumping (a modal window the code under test
// opens itself), each once its condition holds; a step may open a modal loop of its own.
class modal_steps {
public:
    struct step {
        std::function<bool()> ready;
        std::function<void()> action;
    };
    explicit modal_steps(std::vector<step> steps);
    ~modal_steps();
    modal_steps(const modal_steps&) = delete;
    modal_steps& operator=(const modal_steps&) = delete;

    bool finished() const { return next_ == steps_.size(); }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);

    std::vector<step> steps_;
    size_t next_ = 0;
    bool running_ = false;
    UINT_PTR timer_ = 0;
};

// The visible toolkit window of this thread with that title, or null.
ui::window* find_window(const std::wstring& title);

// A key press with the scan code the keyboard would send, so that the system can name the key.
void post_key(HWND target, UINT virtual_key);
void post_text(HWND target, const std::wstring& text);
// A left (or right) click at a point of the client area, in 96-dpi units, with the real cursor put there.
void post_click(HWND target, int x, int y, bool right = false);

}  // namespace qzsdk::test
