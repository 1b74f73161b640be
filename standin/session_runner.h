#pragma once
// Carries out a parsed session against the host and the loaded module. The commands run on a thread of
// their own while the UI thread dispatches messages, so a command that opens a modal window of the module
// (a script verb, a click) leaves the session free to drive that window with the commands that follow.
#include "standin/dialog_driver.h"
#include "standin/file_blocks.h"
#include "standin/file_check.h"
#include "standin/host.h"
#include "standin/key_chord.h"
#include "standin/script_interface.h"
#include "standin/session.h"
#include "standin/ui_thread_queue.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace standin {

struct SessionFailure {
    int line;
    std::string command;
    std::string message;
};

constexpr DWORD session_watchdog_ms = 30000;
// How long `menu`, `window`, `gone`, `foreground`, `button` and `file` wait for what they look for: generous,
// since on a loaded machine a file dialog alone can take seconds to open and close, and a state that comes
// only fails later.
constexpr DWORD session_find_timeout_ms = 20000;

class SessionRunner {
public:
    // `out_folder` receives the screenshots; empty: screenshots fail with a message saying so. A command
    // that keeps the UI thread busy longer than `watchdog_ms` fails the session.
    SessionRunner(Host& host, std::wstring out_folder, DWORD watchdog_ms = session_watchdog_ms,
                  DWORD find_timeout_ms = session_find_timeout_ms);
    ~SessionRunner();
    SessionRunner(const SessionRunner&) = delete;
    SessionRunner& operator=(const SessionRunner&) = delete;

    // On the UI thread: runs every command up to the end or a quit, waits for the calls into the module they
    // left running, then quits the host (its death hooks); false when any command failed.
    bool run(const std::vector<SessionCommand>& commands);
    const std::vector<SessionFailure>& failures() const { return failures_; }
    bool quit() const { return quit_; }
    const std::vector<FileCheck>& file_checks() const { return file_checks_; }
    // Runs on the session's thread when the watchdog fires, while the UI thread is still stuck (standin.exe
    // writes its state there and ends the process). Without one the session just stops.
    void on_hang(std::function<void()> handler) { hang_handler_ = std::move(handler); }
    // Runs on the session's thread right after a key press is sent, before the press is held: a test holds
    // the thread there as a loaded machine may, while the UI thread takes the press.
    void after_key_press_sent(std::function<void()> hold) { after_key_press_sent_ = std::move(hold); }

private:
    struct Pending {
        std::shared_ptr<UiThreadQueue::Job> job;
        int line;
        std::string command;
    };

    static DWORD WINAPI thread_main(void* runner);
    void work();
    // An empty answer is success; otherwise the message of the failure.
    std::string run_command(const SessionCommand& command);
    // Runs the work on the UI thread and answers its failure, or success as soon as the UI thread waits
    // inside the module for input: then the work finishes later and its failure is recorded then. `runner`
    // names what runs the work when no command does.
    std::string on_ui(std::function<std::string()> work, const char* runner = nullptr);
    // The session's end: the window log settles and the death hooks run, within the watchdog's time.
    void quit_host();
    // Lets the UI thread handle input for `milliseconds`: the host's loop with idle calls, or, inside the
    // module's own loop, just time. Every wait of a command is made of these: the real host idles all the
    // time, and the module tells some things (a screenshot it could not write) only at an idle call.
    void settle(DWORD milliseconds);
    // Waits while the UI thread is blocked (neither in a loop of the host nor of the module); true when it was.
    bool wait_while_busy();
    // The same, then lets it dispatch what the block held back, so input sent next comes after the focus
    // changes made meanwhile.
    void await_responsive_ui();
    void bring_modal_forward();
    // Every input a command sends goes through here: sent by the UI thread once it has taken the X server's
    // reports owed for the steps before; an empty answer, or that the system did not take `what`.
    std::string send_input(std::function<bool()> send, const std::string& what);
    // Press at the first point, moves to the second in steps with time between them, release there.
    std::string drag(POINT from, POINT to);
    std::string press(const KeyChord& chord);
    // The chord the module is watched taking, or none; clears whether it took it.
    void watch_chord(std::optional<KeyChord> chord);
    // On the UI thread, at each idle call before the hooks: whether the watched chord is down now.
    void note_chord_at_idle_call();
    // On the UI thread, for each message taken off the queue: whether a window of the module takes the
    // watched chord's key with its modifiers down.
    void note_chord_taken_as_message(const MSG& message);
    bool chord_taken();
    std::string hold_until_taken(const KeyChord& chord);
    // Until a window of the module with that title is visible, or with `visible` false until none is.
    std::string wait_for_window(const std::string& title, bool visible);
    // Until a window of the module with that title is the foreground window.
    std::string wait_for_foreground(const std::string& title);
    // Points at the item until it lights, clicks it once and waits for its menu to close.
    std::string choose_from_menu(const std::string& text);
    // What `menu` saw last when its time ran out.
    enum class MenuSeen { no_menu, no_item, disabled, unlit };
    std::string menu_failure(MenuSeen seen, const std::string& text, const std::vector<HWND>& menus) const;
    // Whether the window was hidden (or destroyed) within the time; the UI thread dispatches meanwhile.
    bool wait_until_hidden(HWND window, ULONGLONG timeout_ms);
    std::string press_button(const std::string& text);
    std::string answer_dialog(const std::string& answer);
    std::string screenshot(const std::string& name);
    std::string script(const SessionCommand& command);
    // Waits until the file is there or gone, and records what it found; or removes it, or blocks it.
    std::string wait_for_file(const SessionCommand& command);
    // Puts back what the session's blocks moved aside; a failure is the session's.
    void release_blocks();
    void collect_finished();
    void finish_pending();
    std::string watchdog_fired(const std::string& what);
    // The find timeout as a failure tells it: "20 s", or "300 ms" under a second.
    std::string find_timeout_text() const;
    void fail(int line, const std::string& command, const std::string& message);

    Host& host_;
    std::wstring out_folder_;
    DWORD watchdog_ms_;
    DWORD find_timeout_ms_;
    ScriptInterface script_interface_;
    std::unique_ptr<UiThreadQueue> queue_;
    std::unique_ptr<DialogDriver> dialog_;  // made and dropped on the UI thread
    const std::vector<SessionCommand>* commands_ = nullptr;
    const SessionCommand* current_ = nullptr;
    std::vector<Pending> pending_;
    std::vector<SessionFailure> failures_;
    std::vector<FileCheck> file_checks_;
    FileBlocks blocks_;
    std::function<void()> hang_handler_;
    std::function<void()> after_key_press_sent_;
    std::mutex watch_mutex_;
    std::optional<KeyChord> watched_chord_;  // guarded by watch_mutex_
    bool chord_taken_ = false;               // guarded by watch_mutex_
    bool quit_ = false;
    bool hung_ = false;
};

}  // namespace standin
