#pragma once
// Hands work from the session's thread to the UI thread through a message-only window. Every message loop
// of the UI thread dispatches it, the module's modal loops and menus included, so work still reaches the
// UI thread while the module waits there for input.
#include "standin/host.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace standin {

class UiThreadQueue {
public:
    struct Job {
        std::function<std::string()> work;  // answers empty on success, else why it failed
        std::string failure;
        HANDLE done;  // set once the work has returned
        Job();
        ~Job();
        Job(const Job&) = delete;
        Job& operator=(const Job&) = delete;
    };

    // Made on the UI thread.
    explicit UiThreadQueue(Host& host);
    ~UiThreadQueue();
    UiThreadQueue(const UiThreadQueue&) = delete;
    UiThreadQueue& operator=(const UiThreadQueue&) = delete;

    // From any thread; the job is done when its event is set. An exception from the work is its failure.
    std::shared_ptr<Job> post(std::function<std::string()> work);
    // From another thread, waiting at most `timeout_ms` for the answer: whether the UI thread is busy (it
    // does not answer), dispatching in the host's loops, or dispatching inside a call into the module (a
    // modal loop, a menu, a dialog), where it waits for input rather than working.
    enum class UiState { busy, in_host, in_module_loop };
    UiState ui_state(UINT timeout_ms) const;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    Host& host_;
    HWND window_;
    // The last answer of the UI thread to a posted question, and the event it sets with it.
    HANDLE answered_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<LRESULT> answer_{0};
};

}  // namespace standin
