#pragma once
// Plays steps into a modal window from a timer that runs inside its own loop, one step per tick; a window
// still open after the last step is ended with 0. Helpers post real key and mouse messages to it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <source_location>
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
//
// A condition that does not hold within wait_limit_ms of the step before fails the test where the script was
// made, and every modal loop of the thread is ended (a quit message), so that a missing message fails the
// test instead of hanging it; no further step is played.
class modal_steps {
public:
    struct step {
        std::function<bool()> ready;
        std::function<void()> action;
    };
    // Generous: a loaded machine can hold a message for seconds, never for this long.
    static constexpr uint64_t wait_limit_ms = 25000;

    explicit modal_steps(std::vector<step> steps, std::source_location made_at = std::source_location::current());
    ~modal_steps();
    modal_steps(const modal_steps&) = delete;
    modal_steps& operator=(const modal_steps&) = delete;

    bool finished() const { return next_ == steps_.size(); }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void give_up();

    std::vector<step> steps_;
    std::source_location made_at_;
    size_t next_ = 0;
    bool running_ = false;
    bool given_up_ = false;
    uint64_t waiting_since_ = 0;
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
