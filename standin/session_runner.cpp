#include "standin/session_runner.h"

#include "standin/answer_summary.h"
#include "standin/clipboard_state.h"
#include "standin/input.h"
#include "standin/module_button.h"
#include "standin/module_choice.h"
#include "standin/module_windows.h"
#include "standin/open_menu.h"
#include "standin/owed_x_reports.h"
#include "standin/screenshot.h"
#include "standin/text_codec.h"

#include <algorithm>
#include <cstdio>

namespace standin {

namespace {

// Long enough for injected input to reach the focused window's queue and be handled.
constexpr DWORD input_settle_ms = 50;
constexpr DWORD poll_ms = 50;
// How long a screenshot waits for the screen to stop changing, and the time between two looks at it.
constexpr ULONGLONG screen_settle_timeout_ms = 5000;
constexpr DWORD screen_look_gap_ms = 100;
// The host's longest sleep between idle calls, the time an idle cycle takes inside the module's loop.
constexpr DWORD idle_cycle_ms = 15;

ULONGLONG now() { return GetTickCount64(); }

POINT centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

std::string join(const std::vector<std::wstring>& texts)
{
    std::string list;
    for (const std::wstring& text : texts)
        list += (list.empty() ? "\"" : ", \"") + to_utf8(text) + "\"";
    return list.empty() ? "none" : list;
}

std::wstring expanded(const std::string& text)
{
    std::wstring wide = to_wide(text);
    std::wstring result(32768, L'\0');
    DWORD length = ExpandEnvironmentStringsW(wide.c_str(), result.data(), static_cast<DWORD>(result.size()));
    if (length == 0 || length > result.size())
        return wide;
    result.resize(length - 1);
    return result;
}

}  // namespace

SessionRunner::SessionRunner(Host& host, std::wstring out_folder, DWORD watchdog_ms, DWORD find_timeout_ms)
    : host_(host), out_folder_(std::move(out_folder)), watchdog_ms_(watchdog_ms), find_timeout_ms_(find_timeout_ms),
      script_interface_(host.module())
{
}

SessionRunner::~SessionRunner() = default;

bool SessionRunner::run(const std::vector<SessionCommand>& commands)
{
    queue_ = std::make_unique<UiThreadQueue>(host_);
    commands_ = &commands;
    HANDLE thread = CreateThread(nullptr, 0, &thread_main, this, 0, nullptr);
    if (!thread) {
        fail(0, "session", "cannot start the session's thread");
        return false;
    }
    // Idle calls run only from this loop's work, so the host holds the observers exactly as long as the loop.
    host_.observe_idle_calls([this] { note_chord_at_idle_call(); });
    host_.observe_taken_messages([this](const MSG& message) { note_chord_taken_as_message(message); });
    // A quit message is kept for the loops outside the session: the session's work still needs this loop.
    std::optional<int> quit_code;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        host_.dispatch_waiting();
        MSG message;
        if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            quit_code = static_cast<int>(message.wParam);
    }
    CloseHandle(thread);
    host_.observe_idle_calls({});
    host_.observe_taken_messages({});
    dialog_.reset();
    queue_.reset();
    if (quit_code)
        PostQuitMessage(*quit_code);
    return failures_.empty();
}

DWORD WINAPI SessionRunner::thread_main(void* runner)
{
    static_cast<SessionRunner*>(runner)->work();
    return 0;
}

void SessionRunner::work()
{
    for (const SessionCommand& command : *commands_) {
        current_ = &command;
        collect_finished();
        if (std::string failure = run_command(command); !failure.empty())
            fail(command.line, verb_name(command.verb), failure);
        if (quit_ || hung_)
            break;
    }
    if (!hung_)
        finish_pending();
    if (!hung_)
        quit_host();
    if (!hung_)
        on_ui([this] {
            dialog_.reset();
            return std::string();
        });
    if (!hung_)
        release_blocks();
}

void SessionRunner::release_blocks()
{
    if (std::string failure = blocks_.release_all(); !failure.empty())
        fail(0, "file", failure);
}

void SessionRunner::fail(int line, const std::string& command, const std::string& message)
{
    std::fprintf(stderr, "standin: line %d: %s: %s\n", line, command.c_str(), message.c_str());
    failures_.push_back({line, command, message});
}

// As the real host quits: what the module's windows show is taken as the commands left them, then the death
// hooks run (unless a `death` command ran them). A window they open that no command can answer any more waits
// for good, so they run within the watchdog's time like any command.
void SessionRunner::quit_host()
{
    on_ui(
        [this] {
            host_.settle_window_log();
            host_.run_death_hooks();
            return std::string();
        },
        "the death hooks at the quit");
    if (!hung_)
        finish_pending();
}

std::string SessionRunner::on_ui(std::function<std::string()> work, const char* runner)
{
    auto job = queue_->post(std::move(work));
    ULONGLONG last_alive = now();
    int loop_answers = 0;
    while (WaitForSingleObject(job->done, poll_ms) == WAIT_TIMEOUT) {
        UiThreadQueue::UiState state = queue_->ui_state(100);
        if (state != UiThreadQueue::UiState::busy)
            last_alive = now();
        // Asked twice, so that a module call that only peeks at its queue once is not taken for a loop.
        loop_answers = state == UiThreadQueue::UiState::in_module_loop ? loop_answers + 1 : 0;
        if (loop_answers >= 2) {
            if (runner)
                pending_.push_back({job, 0, runner});
            else
                pending_.push_back({job, current_ ? current_->line : 0, current_ ? verb_name(current_->verb) : ""});
            return {};
        }
        if (now() - last_alive > watchdog_ms_)
            return watchdog_fired("kept the host's UI thread busy");
    }
    return job->failure;
}

std::string SessionRunner::watchdog_fired(const std::string& what)
{
    hung_ = true;
    std::string message = what + " for more than " + std::to_string(watchdog_ms_ / 1000) +
                          " s; the session stops here";
    fail(current_ ? current_->line : 0, current_ ? verb_name(current_->verb) : "session", message);
    release_blocks();
    if (hang_handler_)
        hang_handler_();
    return {};
}

std::string SessionRunner::find_timeout_text() const
{
    if (find_timeout_ms_ % 1000)
        return std::to_string(find_timeout_ms_) + " ms";
    return std::to_string(find_timeout_ms_ / 1000) + " s";
}

void SessionRunner::collect_finished()
{
    for (auto pending = pending_.begin(); pending != pending_.end();) {
        if (WaitForSingleObject(pending->job->done, 0) != WAIT_OBJECT_0) {
            ++pending;
            continue;
        }
        if (!pending->job->failure.empty())
            fail(pending->line, pending->command, pending->job->failure);
        pending = pending_.erase(pending);
    }
}

// When the commands run out, the module must be done within the watchdog's time: a call still inside it
// (a job waiting in its loop, or input the host dispatched that opened a question) waits for its window to
// close, as a session must close what it opened. A real host cannot quit there; a session can.
void SessionRunner::finish_pending()
{
    const ULONGLONG deadline = now() + watchdog_ms_;
    for (;;) {
        collect_finished();
        if (pending_.empty() && queue_->ui_state(100) == UiThreadQueue::UiState::in_host)
            return;
        if (now() >= deadline)
            break;
        Sleep(poll_ms);
    }
    // Told at the command that could not end the session, whichever loop the window came from: the host's
    // own or one a command's call entered, which the timing of a key decides.
    std::string message = "still inside the module " + std::to_string(watchdog_ms_ / 1000) +
                          " s after the last command (a window of the module waits for input";
    if (!pending_.empty())
        message += pending_.back().line ? ", opened during line " + std::to_string(pending_.back().line) + ", " +
                                              pending_.back().command
                                        : ", opened by " + pending_.back().command;
    message += ")";
    fail(current_ ? current_->line : 0, current_ ? verb_name(current_->verb) : "session", message);
    current_ = nullptr;
    watchdog_fired("the session could not end");
}

void SessionRunner::settle(DWORD milliseconds)
{
    // A call blocked inside the module is no loop of it: the time is the host's once the call returns.
    wait_while_busy();
    if (host_.inside_module_loop()) {
        Sleep(milliseconds);
        return;
    }
    on_ui([this, milliseconds] {
        host_.pump(milliseconds);
        return std::string();
    });
}

std::string SessionRunner::run_command(const SessionCommand& command)
{
    switch (command.verb) {
    case SessionVerb::idle:
        wait_while_busy();
        if (host_.inside_module_loop()) {
            Sleep(idle_cycle_ms * command.number);
            return {};
        }
        return on_ui([this, cycles = command.number] {
            for (int i = 0; i < cycles; ++i)
                host_.pump(0);
            return std::string();
        });
    case SessionVerb::wait:
        settle(command.number);
        return {};
    case SessionVerb::select:
        return on_ui([this, name = command.text] {
            if (!host_.project().select_layer(name))
                return "the project has no layer named \"" + name + "\"";
            InvalidateRect(host_.main_window(), nullptr, TRUE);
            host_.pump(0);
            return std::string();
        });
    case SessionVerb::keys:
        return press(*parse_key_chord(command.text));
    case SessionVerb::key:
        return press(KeyChord{{}, *named_key(command.text)});
    case SessionVerb::type: {
        await_responsive_ui();
        bring_modal_forward();
        std::string failure = send_input([text = to_wide(command.text)] { return send_text(text); }, "typed input");
        settle(input_settle_ms);
        return failure;
    }
    case SessionVerb::click:
    case SessionVerb::rclick:
    case SessionVerb::dblclick: {
        MouseButton button = command.verb == SessionVerb::rclick ? MouseButton::right : MouseButton::left;
        await_responsive_ui();
        const int count = command.verb == SessionVerb::dblclick ? 2 : 1;
        std::string failure = send_input(
            [x = command.number, y = command.second, button, count] { return send_click(x, y, button, count); },
            "click");
        settle(input_settle_ms);
        return failure;
    }
    case SessionVerb::drag: {
        await_responsive_ui();
        std::string failure = drag({command.number, command.second}, {command.third, command.fourth});
        settle(input_settle_ms);
        return failure;
    }
    case SessionVerb::press:
    case SessionVerb::move:
    case SessionVerb::release: {
        // A drag in steps: the button stays down between the commands, so a session can look at it midway.
        await_responsive_ui();
        const POINT at{command.number, command.second};
        const SessionVerb verb = command.verb;
        std::string failure = send_input(
            [at, verb] {
                return verb == SessionVerb::move ? send_mouse_move(at)
                                                 : send_mouse_button_at(at, MouseButton::left, verb == SessionVerb::press);
            },
            verb_name(verb));
        settle(input_settle_ms);
        return failure;
    }
    case SessionVerb::script:
        return script(command);
    case SessionVerb::choose:
        // One idle call carries the choice out, as after the popup's choice.
        return on_ui([this, name = command.text] {
            std::string failure;
            {
                Host::ModuleCall call(host_);
                failure = choose_entry(host_.module(), name);
            }
            if (failure.empty()) {
                host_.pump(0);
                InvalidateRect(host_.main_window(), nullptr, TRUE);
            }
            return failure;
        });
    case SessionVerb::menu:
        return choose_from_menu(command.text);
    case SessionVerb::dialog:
        return answer_dialog(command.text);
    case SessionVerb::window:
        return wait_for_window(command.text, true);
    case SessionVerb::gone:
        return wait_for_window(command.text, false);
    case SessionVerb::foreground:
        return wait_for_foreground(command.text);
    case SessionVerb::button:
        return press_button(command.text);
    case SessionVerb::screenshot:
        return screenshot(command.text);
    case SessionVerb::quit:
        quit_ = true;
        return {};
    case SessionVerb::death:
        return on_ui([this] {
            host_.run_death_hooks();
            return std::string();
        });
    case SessionVerb::file:
        return wait_for_file(command);
    case SessionVerb::clipboard:
        return on_ui([] { return empty_clipboard() ? std::string() : std::string("the clipboard could not be emptied"); });
    }
    return "unknown command";
}

bool SessionRunner::wait_while_busy()
{
    bool waited = false;
    const ULONGLONG start = now();
    while (queue_->ui_state(100) == UiThreadQueue::UiState::busy && now() - start < watchdog_ms_)
        waited = true;
    return waited;
}

void SessionRunner::await_responsive_ui()
{
    // Under Wine the host window takes the keyboard back after a hide with a late focus event that resets
    // the key state to the X server's: keys sent before it is handled read as released.
    if (wait_while_busy())
        settle(input_settle_ms);
}

// Every input of a session is sent by the UI thread once it has taken what the X server owed it for the steps
// before. Under X, Wine also turns the server's report of the pointer crossing into a window into a move to where
// the pointer was then, and drops only reports older than the receiving thread's own last move of the pointer:
// sent from the session's thread, a click could be followed, or split, by a move back to where a window that had
// just closed under the pointer left it; sent from the UI thread, which takes those reports, it cannot.
std::string SessionRunner::send_input(std::function<bool()> send, const std::string& what)
{
    return on_ui([send = std::move(send), what] {
        take_owed_x_reports();
        return send() ? std::string() : "the system did not take the " + what;
    });
}

// The steps apart in time, so the target sees a drag, and each sent by the UI thread.
std::string SessionRunner::drag(POINT from, POINT to)
{
    constexpr int steps = 8;
    constexpr DWORD step_ms = 20;
    std::string failure = send_input([from] { return send_mouse_button_at(from, MouseButton::left, true); }, "drag");
    for (int step = 1; step <= steps && failure.empty(); ++step) {
        Sleep(step_ms);
        const POINT at{from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps};
        failure = send_input([at] { return send_mouse_move(at); }, "drag");
    }
    Sleep(step_ms);
    // The button goes up even after a failed step, so no drag is left held.
    std::string released = send_input([to] { return send_mouse_button_at(to, MouseButton::left, false); }, "drag");
    return failure.empty() ? released : failure;
}

// A modal window of the module that lost the foreground (its owner is the foreground, disabled) gets it
// back, so keys reach it as they would reach the window a user sees in front.
void SessionRunner::bring_modal_forward()
{
    on_ui([this] {
        HWND foreground = GetForegroundWindow();
        DWORD process = 0;
        GetWindowThreadProcessId(foreground, &process);
        if (!foreground || process != GetCurrentProcessId() || IsWindowEnabled(foreground) ||
            !open_menu_windows().empty())
            return std::string();
        for (HWND window : visible_module_windows(host_.module()))
            if (IsWindowEnabled(window)) {
                SetForegroundWindow(window);
                break;
            }
        return std::string();
    });
}

// Held down until the module has it, as a user's fingers are: the module learns of its hotkey only by polling
// the keyboard at idle time, whatever window is in front, and the host dispatches every queued message before
// each idle call, so a press and its release taken together would never be seen down. A window of the module
// that took the press as a message has it too, though the key may read released by the next idle call (a
// window it opened took the focus, and Wine set the key state back to the X server's).
std::string SessionRunner::press(const KeyChord& chord)
{
    await_responsive_ui();
    bring_modal_forward();
    // Inside a loop of the module the host runs no idle hook; after the death hooks none runs again.
    const bool in_module_loop = host_.inside_module_loop();
    const bool idle_calls_come = !in_module_loop && !host_.idle_calls_ended();
    // After them only a window of the module in front could take the keys.
    if (!in_module_loop && host_.idle_calls_ended() && !is_module_window(GetForegroundWindow(), host_.module()))
        return "the module is gone (its death hooks ran, or it was unloaded): no idle call can see the keys";
    // Watched from before the press: the UI thread may take it as a message the moment it is sent.
    if (idle_calls_come)
        watch_chord(chord);
    if (std::string failure = send_input([chord] { return send_chord(chord, true); }, "key press");
        !failure.empty()) {
        watch_chord(std::nullopt);
        return failure;
    }
    if (after_key_press_sent_)
        after_key_press_sent_();
    std::string held;
    if (idle_calls_come)
        held = hold_until_taken(chord);
    else
        settle(input_settle_ms);
    watch_chord(std::nullopt);
    std::string released = send_input([chord] { return send_chord(chord, false); }, "key release");
    settle(input_settle_ms);
    return held.empty() ? released : held;
}

void SessionRunner::watch_chord(std::optional<KeyChord> chord)
{
    std::lock_guard<std::mutex> lock(watch_mutex_);
    watched_chord_ = std::move(chord);
    chord_taken_ = false;
}

void SessionRunner::note_chord_at_idle_call()
{
    std::lock_guard<std::mutex> lock(watch_mutex_);
    if (!watched_chord_ || chord_taken_)
        return;
    for (WORD key : keys_of(*watched_chord_))
        if (!(GetKeyState(key) & 0x8000))
            return;
    chord_taken_ = true;
}

void SessionRunner::note_chord_taken_as_message(const MSG& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return;
    std::lock_guard<std::mutex> lock(watch_mutex_);
    if (!watched_chord_ || chord_taken_ || message.wParam != watched_chord_->key ||
        !is_module_window(GetAncestor(message.hwnd, GA_ROOT), host_.module()))
        return;
    // The window reads its modifiers as the key arrives.
    for (WORD modifier : watched_chord_->modifiers)
        if (!(GetKeyState(modifier) & 0x8000))
            return;
    chord_taken_ = true;
}

// Wine sets the key state to the X server's, which never saw injected keys, when the pointer enters a window
// of the process or one gains the X focus. Such an event that comes late (a window under the pointer hidden
// just before, on a loaded machine) lets the chord go before an idle call polled it, where a user's fingers
// would still hold it: keys let go so are held down again, until the module has the whole chord. Not while a
// window of the module is in front: its press waits in the queue for it, and a second one would reach it twice.
std::string SessionRunner::hold_until_taken(const KeyChord& chord)
{
    const ULONGLONG deadline = now() + find_timeout_ms_;
    for (;;) {
        settle(input_settle_ms);
        if (chord_taken() || host_.inside_module_loop())
            return {};
        if (now() >= deadline)
            return "the system kept letting go of the keys before an idle call saw them, for " +
                   find_timeout_text();
        if (is_module_window(GetForegroundWindow(), host_.module()))
            continue;
        const std::vector<WORD> keys = keys_of(chord);
        const auto released = [](WORD key) { return !(GetAsyncKeyState(key) & 0x8000); };
        if (std::none_of(keys.begin(), keys.end(), released))
            continue;
        // The keys let go, all after one wait for the X server's reports.
        if (std::string failure = send_input(
                [keys, released] {
                    for (WORD key : keys)
                        if (released(key) && !send_key(key, true))
                            return false;
                    return true;
                },
                "key press");
            !failure.empty())
            return failure;
    }
}

bool SessionRunner::chord_taken()
{
    std::lock_guard<std::mutex> lock(watch_mutex_);
    return chord_taken_;
}

std::string SessionRunner::wait_for_window(const std::string& title, bool visible)
{
    std::wstring wanted = to_wide(title);
    ULONGLONG deadline = now() + find_timeout_ms_;
    std::vector<std::wstring> titles;
    for (;;) {
        titles.clear();
        for (HWND window : visible_module_windows(host_.module()))
            titles.push_back(window_title(window));
        if ((std::find(titles.begin(), titles.end(), wanted) != titles.end()) == visible)
            return {};
        if (now() >= deadline)
            return (visible ? "no window of the module titled \"" + title + "\" was visible within "
                            : "a window of the module titled \"" + title + "\" was still visible after ") +
                   find_timeout_text() + " (visible: " + join(titles) + ")";
        settle(poll_ms);
    }
}

std::string SessionRunner::wait_for_foreground(const std::string& title)
{
    const std::wstring wanted = to_wide(title);
    const ULONGLONG deadline = now() + find_timeout_ms_;
    for (;;) {
        const HWND foreground = GetForegroundWindow();
        for (HWND window : visible_module_windows(host_.module()))
            if (window == foreground && window_title(window) == wanted)
                return {};
        if (now() >= deadline)
            return "no window of the module titled \"" + title + "\" was in front within " + find_timeout_text() +
                   " (in front: \"" + to_utf8(window_title(foreground)) + "\")";
        settle(poll_ms);
    }
}

std::string SessionRunner::wait_for_file(const SessionCommand& command)
{
    const bool wanted = command.number == 1;
    const std::wstring path = expanded(command.text);
    // A file left by an earlier run of the session, which a save dialog would ask to overwrite. Neither the
    // file nor its folder need be there: a session must pass alone, before anything made them.
    if (command.number == 2)
        return remove_file_if_there(path) ? std::string() : "the file " + to_utf8(path) + " could not be removed";
    if (command.number == 3)
        return blocks_.block(path);
    const ULONGLONG deadline = now() + find_timeout_ms_;
    for (;;) {
        FileCheck check = check_file(command.text, path);
        if (check.exists == wanted || now() >= deadline) {
            file_checks_.push_back(std::move(check));
            if (file_checks_.back().exists == wanted)
                return {};
            return "the file " + to_utf8(path) + (wanted ? " did not appear" : " was not removed") + " within " +
                   find_timeout_text();
        }
        settle(poll_ms);
    }
}

std::string SessionRunner::choose_from_menu(const std::string& text)
{
    const std::wstring wanted = to_wide(text);
    const ULONGLONG deadline = now() + find_timeout_ms_;
    for (int attempt = 0;; ++attempt) {
        const std::vector<HWND> menus = open_menu_windows();
        MenuSeen seen = menus.empty() ? MenuSeen::no_menu : MenuSeen::no_item;
        for (HWND menu : menus) {
            const std::optional<MenuItemLook> item = find_menu_item(menu, wanted);
            if (!item)
                continue;
            if (!item->enabled) {
                seen = MenuSeen::disabled;
                continue;
            }
            // A menu that has just opened may not take a click yet: it is clicked once its loop follows the
            // cursor (the item under it lights up), and then only once, however slowly it closes. Every other
            // try puts the pointer one unit aside: Wine queues a move only when it changes the pointer's place
            // or the window under it, and the loop can have missed the one that put the pointer here (merged
            // into a move of the old place it had already peeked, it acts on the old place).
            POINT at = centre(item->rect);
            at.x += attempt % 2;
            if (std::string failure = send_input([at] { return send_mouse_move(at); }, "mouse move");
                !failure.empty())
                return failure;
            settle(poll_ms);
            const std::optional<MenuItemLook> under_pointer = find_menu_item(menu, wanted);
            if (!under_pointer || !under_pointer->lit) {
                seen = MenuSeen::unlit;
                break;
            }
            if (std::string failure = send_input([at] { return send_click(at.x, at.y); }, "click"); !failure.empty())
                return failure;
            if (wait_until_hidden(menu, find_timeout_ms_))
                return {};
            return "the menu stayed open after its item \"" + text + "\" was clicked";
        }
        if (now() >= deadline)
            return menu_failure(seen, text, menus);
        settle(poll_ms);
    }
}

std::string SessionRunner::menu_failure(MenuSeen seen, const std::string& text, const std::vector<HWND>& menus) const
{
    const std::string item = "the item \"" + text + "\" of the open menu";
    switch (seen) {
    case MenuSeen::no_menu:
        return "no popup menu was open within " + find_timeout_text();
    case MenuSeen::no_item:
        return "the open menu has no item \"" + text + "\" within " + find_timeout_text() + " (items: " +
               join(menu_item_texts(menus.front())) + ")";
    case MenuSeen::disabled:
        return item + " stayed disabled for " + find_timeout_text();
    case MenuSeen::unlit:
        return item + " never lit under the pointer within " + find_timeout_text();
    }
    return {};
}

bool SessionRunner::wait_until_hidden(HWND window, ULONGLONG timeout_ms)
{
    ULONGLONG deadline = now() + timeout_ms;
    while (IsWindowVisible(window)) {
        if (now() >= deadline)
            return false;
        settle(poll_ms);
    }
    // The item's command runs as the menu closes; what it changes is drawn a moment later.
    settle(input_settle_ms);
    return true;
}

std::string SessionRunner::press_button(const std::string& text)
{
    auto target = std::make_shared<std::optional<POINT>>();
    auto titles = std::make_shared<std::vector<std::wstring>>();
    ULONGLONG deadline = now() + find_timeout_ms_;
    for (;;) {
        std::string failure = on_ui([this, target, titles, text] {
            titles->clear();
            std::vector<HWND> windows = visible_module_windows(host_.module());
            for (HWND window : windows) {
                if (!IsWindowEnabled(window))
                    continue;
                titles->push_back(window_title(window));
                if (auto found = find_module_button(host_.module(), window, text)) {
                    *target = centre(*found);
                    return std::string();
                }
            }
            for (HWND window : windows)
                if (IsWindowEnabled(window) && window_title(window) == L"Effects Popup") {
                    *target = popup_icon_button(window, text);
                    break;
                }
            return std::string();
        });
        if (!failure.empty())
            return failure;
        if (*target) {
            const POINT at = **target;
            failure = send_input([at] { return send_click(at.x, at.y); }, "click");
            settle(input_settle_ms);
            return failure;
        }
        if (now() >= deadline)
            return "no enabled window of the module had a button \"" + text + "\" within " + find_timeout_text() +
                   " (windows: " + join(*titles) + "; the popup's icon buttons are " + popup_icon_names + ")";
        settle(poll_ms);
    }
}

std::string SessionRunner::answer_dialog(const std::string& answer)
{
    bool cancel = answer == "cancel";
    std::wstring path = cancel ? std::wstring() : expanded(answer);
    return on_ui([this, cancel, path] {
        // One driver at a time: the old one is gone before the new one starts.
        dialog_.reset();
        dialog_ = std::make_unique<DialogDriver>(cancel ? DialogDriver::answer::cancel : DialogDriver::answer::ok,
                                                 path, DialogDriver::lifetime::first_dialog);
        return std::string();
    });
}

std::string SessionRunner::screenshot(const std::string& name)
{
    if (out_folder_.empty())
        return "no --out folder was given for screenshots";
    std::wstring file = out_folder_ + L"\\" + to_wide(name.size() > 4 && name.ends_with(".png") ? name : name + ".png");
    // Taken once no window of the module waits for its paint and the screen shows the same at two looks in
    // a row: a window still painting or a menu still closing changes between them, and on a loaded machine a
    // window can wait for its paint longer than the gap. The screen is read from this thread; the UI thread
    // keeps dispatching.
    auto picture = std::make_shared<ScreenPixels>();
    ScreenPixels previous;
    RECT whole{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ULONGLONG deadline = now() + screen_settle_timeout_ms;
    for (;;) {
        settle(screen_look_gap_ms);
        try {
            *picture = grab_screen();
        } catch (const std::exception& error) {
            return error.what();
        }
        bool steady = *picture == previous && !shows_one_colour(*picture, whole) &&
                      !module_paint_pending(host_.module());
        if (steady || now() >= deadline)
            break;
        previous = *picture;
    }
    std::vector<HWND> windows = visible_module_windows(host_.module());
    ScreenshotRecord record = describe_screenshot(*picture, windows);
    std::string failure = on_ui([this, picture, file, name, record] {
        host_.book().screenshots[name] = record;
        try {
            save_png(*picture, file);
        } catch (const std::exception& error) {
            return std::string(error.what());
        }
        return std::string();
    });
    if (failure.empty() && record.one_colour)
        return "the screen showed one colour only for " + std::to_string(screen_settle_timeout_ms / 1000) +
               " s: nothing was drawn";
    return failure;
}

std::string SessionRunner::script(const SessionCommand& command)
{
    return on_ui([this, verb = command.text, args = command.args] {
        std::optional<ScriptCallRecord> record;
        {
            Host::ModuleCall call(host_);
            record = script_interface_.call(verb, args);
        }
        if (!record)
            return std::string("the module has no script interface yet (it exports no \"execute\")");
        host_.book().script_calls.push_back(*record);
        std::printf("script %s: code %d, result %s\n", verb.c_str(), record->code,
                    answer_summary(record->result).c_str());
        std::fflush(stdout);
        host_.pump(0);
        return record->code == 0 ? std::string() : "execute returned code " + std::to_string(record->code);
    });
}

}  // namespace standin
