// Session input reaches the host's UI thread as real input, held across an idle call; commands keep
// running while the module sits in a modal loop, the death hooks' included; a command that keeps the UI
// thread busy, or a question of the module left open at the end, stops the session through the watchdog.
#include "standin/host.h"
#include "standin/input.h"
#include "standin/session_runner.h"
#include "tests/support/idle_hook_entry.h"
#include "tests/support/standin_test_project.h"
#include "tests/support/window_module/window_module.h"
#include "toolkit/platform/unique_handle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

enum class IdleMode { watch_keys, watch_keys_between_module_calls, modal_until_q, busy, question_from_host_loop };
IdleMode mode = IdleMode::watch_keys;
bool chord_seen_at_idle = false;
int modal_runs = 0;
bool modal_ended_by_key = false;

std::atomic<bool> hang_reported = false;

// As a module's modal window would: a loop of its own that dispatches until its key arrives, or until the
// session's watchdog has reported.
void run_modal_loop()
{
    ++modal_runs;
    while (!hang_reported) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return;
            if (message.message == WM_KEYDOWN && message.wParam == 'Q') {
                modal_ended_by_key = true;
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// A question of the module that the host's own loop opens (as input it dispatches would, outside any
// command's call): it waits for input until the session's watchdog has reported, or gives up after 10 s.
constexpr UINT open_question = WM_APP + 7;
HWND question_opener = nullptr;

LRESULT CALLBACK question_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != open_question)
        return DefWindowProcW(window, message, wparam, lparam);
    standin::Host::ModuleCall in_module(*standin::Host::current());
    ++modal_runs;
    const ULONGLONG give_up = GetTickCount64() + 10000;
    while (!hang_reported && GetTickCount64() < give_up) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG waiting;
        while (PeekMessageW(&waiting, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&waiting);
            DispatchMessageW(&waiting);
        }
    }
    return 0;
}

// What the idle calls read of the keys: as the system has them now, or released.
enum class ThreadKeys { as_the_systems, released };

void set_thread_keys(std::initializer_list<int> keys_to_set, ThreadKeys state)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    for (int key : keys_to_set)
        keys[key] = state == ThreadKeys::as_the_systems && (GetAsyncKeyState(key) & 0x8000) ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Held while the host dispatches messages to a window of the module: each idle call that reads the chord
// released sends one that keeps the module busy a while, so the UI thread is inside a call into the module most
// of the time, though never in a loop of it. The keys read released to the idle calls (not to the system, so
// nothing presses them again) until `unseen_idle_calls` have passed.
HWND busy_module_window = nullptr;
constexpr UINT keep_busy = WM_APP + 8;
int busy_calls = 0;
int unseen_idle_calls = 0;
constexpr std::initializer_list<int> chord_keys{VK_CONTROL, VK_LCONTROL, VK_SPACE};

LRESULT CALLBACK chord_released_to_idle_calls(int code, WPARAM removed, LPARAM lparam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lparam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == WM_KEYDOWN && message->wParam == VK_SPACE &&
        unseen_idle_calls > 0)
        set_thread_keys(chord_keys, ThreadKeys::released);
    return CallNextHookEx(nullptr, code, removed, lparam);
}

LRESULT CALLBACK busy_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != keep_busy)
        return DefWindowProcW(window, message, wparam, lparam);
    ++busy_calls;
    Sleep(40);
    return 0;
}

A_Err idle_hook(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long*)
{
    // Posted before the idle call returns, so the host's loop takes it before the session's next word.
    if (mode == IdleMode::question_from_host_loop && modal_runs == 0)
        PostMessageW(question_opener, open_question, 0, 0);
    const bool watching = mode == IdleMode::watch_keys || mode == IdleMode::watch_keys_between_module_calls;
    if (watching && (GetKeyState(VK_CONTROL) & 0x8000) && (GetKeyState(VK_SPACE) & 0x8000))
        chord_seen_at_idle = true;
    if (mode == IdleMode::watch_keys_between_module_calls && unseen_idle_calls > 0 &&
        (GetAsyncKeyState(VK_SPACE) & 0x8000)) {
        PostMessageW(busy_module_window, keep_busy, 0, 0);
        if (--unseen_idle_calls == 0)
            set_thread_keys(chord_keys, ThreadKeys::as_the_systems);
    }
    if (mode == IdleMode::modal_until_q && modal_runs == 0)
        run_modal_loop();
    if (mode == IdleMode::busy)
        Sleep(1500);
    return A_Err_NONE;
}

// As the module's "Failed to Save" at the quit: the death hook waits in a loop of its own for its key.
bool death_opens_question = false;

A_Err death_hook(AEGP_GlobalRefcon, AEGP_DeathRefcon)
{
    if (death_opens_question)
        run_modal_loop();
    return A_Err_NONE;
}

// Mouse messages a window of the host heard: "down", "move" or "up", the client point, and whether the left
// button was held; "cancel" for a cancel of the capture.
std::vector<std::string> mouse_heard;

LRESULT CALLBACK mouse_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    // As a window of the module does, a cancel ends the capture.
    if (message == WM_CANCELMODE) {
        mouse_heard.push_back("cancel");
        if (GetCapture() == window)
            ReleaseCapture();
        return 0;
    }
    const char* name = message == WM_LBUTTONDOWN ? "down"
                       : message == WM_MOUSEMOVE ? "move"
                       : message == WM_LBUTTONUP ? "up"
                                                 : nullptr;
    if (!name)
        return DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_LBUTTONDOWN)
        SetCapture(window);
    if (message == WM_LBUTTONUP)
        ReleaseCapture();
    mouse_heard.push_back(std::string(name) + " " + std::to_string(short(LOWORD(lparam))) + "," +
                          std::to_string(short(HIWORD(lparam))) + ((wparam & MK_LBUTTON) ? " held" : ""));
    return 0;
}

class StandinSessionInput : public testing::Test {
protected:
    StandinSessionInput()
    {
        modal_runs = 0;
        modal_ended_by_key = false;
        hang_reported = false;
        death_opens_question = false;
    }

    bool run(IdleMode idle_mode, const char* session, DWORD watchdog_ms = standin::session_watchdog_ms,
             DWORD find_timeout_ms = standin::session_find_timeout_ms)
    {
        mode = idle_mode;
        host_.call_entry(&standin_test::idle_hook_entry<&idle_hook, &death_hook>, 115, 0);
        runner_ = std::make_unique<standin::SessionRunner>(host_, L"", watchdog_ms, find_timeout_ms);
        if (after_key_press_sent_)
            runner_->after_key_press_sent(after_key_press_sent_);
        runner_->on_hang([this] {
            ++hangs_;
            hang_reported = true;
        });
        return runner_->run(standin::parse_session(session));
    }

    standin::Host host_{standin_test::test_project(), true};
    std::unique_ptr<standin::SessionRunner> runner_;
    std::function<void()> after_key_press_sent_;
    int hangs_ = 0;
};

TEST_F(StandinSessionInput, ChordIsDownAtAnIdleCallAndUpAfterwards)
{
    chord_seen_at_idle = false;
    // Nothing runs after a quit.
    EXPECT_TRUE(run(IdleMode::watch_keys, "idle\nkeys ctrl+space\nidle 2\nquit\nselect Nobody\n"));
    EXPECT_TRUE(runner_->quit());
    EXPECT_TRUE(chord_seen_at_idle);
    EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);
    EXPECT_FALSE(GetKeyState(VK_SPACE) & 0x8000);
}

// Wine sets the key state to the X server's, which never saw the session's keys, when the pointer enters a
// window of the process or one gains the X focus. Staged as a late crossing comes on a loaded machine (a
// window under the pointer hidden just before): once the UI thread has taken the chord's key, whichever
// window it is for, the pointer goes into the other test window and the hook waits until the keys read
// released, all before the next idle call. The let-go reaches the thread's own key state, which the idle
// calls read, at once: Wine brings it there only when no input waits for the thread, which an idle call can
// come before, and puts a key down there only as it finishes taking the key's message, after a keyboard hook.
int crossings_to_stage = 0;
bool keys_let_go = false;
HWND keys_windows[2] = {};
int pointer_in = 0;

// Takes the X server's events, and dispatches nothing (the session's questions to the UI thread wait), until
// the key reads released or 5 s have passed; whether it was released.
bool take_events_until_released(WORD key)
{
    const ULONGLONG give_up = GetTickCount64() + 5000;
    while ((GetAsyncKeyState(key) & 0x8000) && GetTickCount64() < give_up)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    return !(GetAsyncKeyState(key) & 0x8000);
}

void put_pointer_into(int window)
{
    pointer_in = window;
    RECT rect{};
    GetWindowRect(keys_windows[window], &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

LRESULT CALLBACK crossing_after_space(int code, WPARAM removed, LPARAM lparam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lparam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == WM_KEYDOWN && message->wParam == VK_SPACE &&
        crossings_to_stage > 0) {
        --crossings_to_stage;
        put_pointer_into(1 - pointer_in);
        keys_let_go = take_events_until_released(VK_SPACE);
        set_thread_keys(chord_keys, ThreadKeys::as_the_systems);
    }
    return CallNextHookEx(nullptr, code, removed, lparam);
}

// The X server's answers to the set-up (the focus, the pointer's crossings) are taken before the session:
// a late one would take the foreground from the test's windows. A key held meanwhile (F24, which nothing
// reads) reads released once Wine has taken them.
// The same with the focus on `window`, and whatever else `meanwhile` does, answered.
void focus_and_take_answers(HWND window, void (*meanwhile)() = nullptr)
{
    standin::send_key(VK_F24, true);
    SetForegroundWindow(window);
    if (meanwhile)
        meanwhile();
    take_events_until_released(VK_F24);
    standin::send_key(VK_F24, false);
}

void take_answers_to_set_up()
{
    focus_and_take_answers(keys_windows[0], [] {
        put_pointer_into(1);
        put_pointer_into(0);
    });
}

class StandinSessionKeysLetGo : public StandinSessionInput {
protected:
    StandinSessionKeysLetGo()
    {
        for (int i = 0; i < 2; ++i)
            keys_windows[i] = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100 + 200 * i, 100,
                                              150, 150, nullptr, nullptr, nullptr, nullptr);
        take_answers_to_set_up();
        keys_let_go = false;
        chord_seen_at_idle = false;
        hook_ = SetWindowsHookExW(WH_GETMESSAGE, &crossing_after_space, nullptr, GetCurrentThreadId());
    }
    ~StandinSessionKeysLetGo() override
    {
        UnhookWindowsHookEx(hook_);
        for (HWND window : keys_windows)
            DestroyWindow(window);
    }

    HHOOK hook_ = nullptr;
};

TEST_F(StandinSessionKeysLetGo, AChordLetGoBeforeAnIdleCallIsHeldAgainUntilOneSeesIt)
{
    crossings_to_stage = 1;
    EXPECT_TRUE(run(IdleMode::watch_keys, "idle\nkeys ctrl+space\nidle 2\n")) << runner_->failures()[0].message;
    EXPECT_TRUE(keys_let_go) << "the crossing let nothing go";
    EXPECT_TRUE(chord_seen_at_idle);
    EXPECT_FALSE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
    EXPECT_FALSE(GetAsyncKeyState(VK_SPACE) & 0x8000);
}

TEST_F(StandinSessionKeysLetGo, KeysTheSystemKeepsLettingGoAreToldAndReleased)
{
    crossings_to_stage = 1000;
    EXPECT_FALSE(run(IdleMode::watch_keys, "idle\nkeys ctrl+space\n", standin::session_watchdog_ms, 300));
    ASSERT_EQ(runner_->failures().size(), 1u);
    EXPECT_EQ(runner_->failures()[0].message,
              "the system kept letting go of the keys before an idle call saw them, for 300 ms");
    EXPECT_FALSE(chord_seen_at_idle);
    EXPECT_FALSE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
    EXPECT_FALSE(GetAsyncKeyState(VK_SPACE) & 0x8000);
}

// The host makes a call into the module whenever it dispatches a message to one of its windows. Held through
// such calls, a chord is held until an idle call sees it: a call that returns is no loop of the module, in
// which no idle call could come.
TEST_F(StandinSessionInput, MessagesTheHostDispatchesToTheModuleDoNotEndTheHold)
{
    auto make = standin_test::load_window_module(host_);
    ASSERT_NE(make, nullptr);
    busy_module_window = make(&busy_procedure, HWND_MESSAGE, 0, 0, 0, 0);
    ASSERT_NE(busy_module_window, nullptr);
    busy_calls = 0;
    chord_seen_at_idle = false;
    unseen_idle_calls = 60;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &chord_released_to_idle_calls, nullptr, GetCurrentThreadId());
    const bool passed = run(IdleMode::watch_keys_between_module_calls, "idle\nkeys ctrl+space\nidle 2\n");
    UnhookWindowsHookEx(hook);
    DestroyWindow(busy_module_window);
    EXPECT_TRUE(passed) << runner_->failures()[0].message;
    EXPECT_EQ(unseen_idle_calls, 0);
    EXPECT_GT(busy_calls, 0);
    EXPECT_TRUE(chord_seen_at_idle);
    EXPECT_FALSE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
    EXPECT_FALSE(GetAsyncKeyState(VK_SPACE) & 0x8000);
}

// As the popup's F5 opens the gallery: a window of the module takes the key as a message and gives the focus to
// another of its windows, after which the key reads released (Wine set the key state back to the X server's).
// The module has the key: the press ends at once, not pressed again for a window of the module that has it.
// The session's thread is held right after the press is sent until the window has taken it, as a loaded machine
// may hold it: a press watched only from after its send would be missed.
int f5_taken[2] = {};
HANDLE f5_handled = nullptr;

LRESULT CALLBACK focus_giving_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != WM_KEYDOWN || wparam != VK_F5)
        return DefWindowProcW(window, message, wparam, lparam);
    const int at = window == keys_windows[1] ? 1 : 0;
    ++f5_taken[at];
    if (at == 0) {
        SetForegroundWindow(keys_windows[1]);
        put_pointer_into(1);
        keys_let_go = take_events_until_released(VK_F5);
        set_thread_keys({VK_F5}, ThreadKeys::as_the_systems);
        SetEvent(f5_handled);
    }
    return 0;
}

class StandinSessionModuleKeys : public StandinSessionInput {
protected:
    void SetUp() override
    {
        auto make = standin_test::load_window_module(host_);
        ASSERT_NE(make, nullptr);
        for (int i = 0; i < 2; ++i) {
            keys_windows[i] = make(&focus_giving_procedure, nullptr, 100 + 200 * i, 100, 150, 150);
            ASSERT_NE(keys_windows[i], nullptr);
        }
        take_answers_to_set_up();
        keys_let_go = false;
        f5_taken[0] = f5_taken[1] = 0;
        f5_handled = f5_handled_event_.get();
        after_key_press_sent_ = [] { WaitForSingleObject(f5_handled, 5000); };
    }
    void TearDown() override
    {
        for (HWND window : keys_windows)
            DestroyWindow(window);
        f5_handled = nullptr;
    }

    // Owned here, not by SetUp, so a SetUp that stops early leaves nothing to close twice.
    qzsdk::unique_handle<HANDLE, &CloseHandle> f5_handled_event_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

TEST_F(StandinSessionModuleKeys, AKeyAWindowOfTheModuleTookEndsThePressThoughItThenReadsReleased)
{
    const bool passed = run(IdleMode::watch_keys, "idle\nkey f5\nidle 2\n", standin::session_watchdog_ms, 2000);
    EXPECT_TRUE(passed) << runner_->failures()[0].message;
    EXPECT_TRUE(keys_let_go) << "the focus and the pointer moved, and the key still read down";
    EXPECT_EQ(f5_taken[0], 1);
    EXPECT_EQ(f5_taken[1], 0) << "the key was pressed again for the window that took the focus";
    EXPECT_FALSE(GetAsyncKeyState(VK_F5) & 0x8000);
}

// A window that tells what it hears in `mouse_heard`, 200 units square at (x, 200).
HWND mouse_target(int x = 200)
{
    WNDCLASSW mouse_class{};
    mouse_class.lpfnWndProc = &mouse_procedure;
    mouse_class.lpszClassName = L"StandinTestMouse";
    RegisterClassW(&mouse_class);
    return CreateWindowExW(WS_EX_TOPMOST, L"StandinTestMouse", L"", WS_POPUP | WS_VISIBLE, x, 200, 200, 200, nullptr,
                           nullptr, nullptr, nullptr);
}

// A drag in three commands: the button stays down between them and each one lands at its own point.
TEST_F(StandinSessionInput, PressMoveAndReleaseEachArriveAtTheirOwnPoint)
{
    HWND target = mouse_target();
    ASSERT_NE(target, nullptr);
    mouse_heard.clear();
    EXPECT_TRUE(run(IdleMode::watch_keys, "press 250 250\nmove 300 320\nrelease 310 330\n"));
    DestroyWindow(target);
    // In order, with every move between the press and the release made with the button held.
    const std::vector<std::string> wanted{"down 50,50 held", "move 100,120 held", "up 110,130"};
    size_t next = 0;
    bool down = false;
    for (const std::string& heard : mouse_heard) {
        if (down && heard.starts_with("move")) {
            EXPECT_TRUE(heard.ends_with(" held")) << heard;
        }
        if (next < wanted.size() && heard == wanted[next])
            ++next;
        down = next > 0 && next < wanted.size();
    }
    EXPECT_EQ(next, wanted.size()) << testing::PrintToString(mouse_heard);
    EXPECT_FALSE(GetAsyncKeyState(VK_LBUTTON) & 0x8000);
}

// Under X, Wine turns the pointer's crossing into a window into a move to where the X server saw the pointer
// then. Staged as a loaded machine met it in a modal loop of the module: at F9 a window under the pointer
// closes, and the UI thread dispatches on without a look at the X server's events until the session's click
// has moved the pointer; the crossing of the window below, told at the close, comes after the click. Where it
// lands between the press and the release, a button the pointer left in between takes no click. The click
// goes to a second window: a move for the window below is not merged into the one the click's own crossing
// brings there. The window below may hear the pointer at rest over it before the click, as on Windows, where
// a window closing under the pointer sends the window then under it a move.
HWND closing_window = nullptr;
const POINT closing_at{240, 240};
ULONGLONG stage_until = 0;
constexpr UINT keep_dispatching = WM_APP + 9;

bool pointer_moved_from_closing_at()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    return cursor.x != closing_at.x || cursor.y != closing_at.y;
}

// From a hook on the messages the UI thread takes: at F9 (its press, or with `at_release` its release) `stage`
// runs once, and then the thread is kept dispatching (a message is always waiting, so it never waits, where Wine
// would take the X server's events) until the session's input has come (by default, the pointer moved from
// `closing_at`), or for 5 s.
template <void (*stage)(), bool (*input_came)() = &pointer_moved_from_closing_at, bool at_release = false>
LRESULT CALLBACK stage_at_f9(int code, WPARAM removed, LPARAM lparam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lparam);
    if (code == HC_ACTION && removed == PM_REMOVE) {
        if (message->message == (at_release ? WM_KEYUP : WM_KEYDOWN) && message->wParam == VK_F9 && stage_until == 0) {
            stage();
            stage_until = GetTickCount64() + 5000;
            PostThreadMessageW(GetCurrentThreadId(), keep_dispatching, 0, 0);
        } else if (message->message == keep_dispatching && !input_came() && GetTickCount64() < stage_until) {
            Sleep(10);
            PostThreadMessageW(GetCurrentThreadId(), keep_dispatching, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, removed, lparam);
}

void close_under_pointer()
{
    ShowWindow(closing_window, SW_HIDE);
}

TEST_F(StandinSessionInput, AClickIsNotFollowedByAMoveToWhereThePointerWasBeforeIt)
{
    HWND below = mouse_target(200);
    HWND clicked = mouse_target(500);
    closing_window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 220, 220, 40, 40, nullptr,
                                     nullptr, nullptr, nullptr);
    SetCursorPos(closing_at.x, closing_at.y);
    stage_until = 0;
    HHOOK closer =
        SetWindowsHookExW(WH_GETMESSAGE, &stage_at_f9<&close_under_pointer>, nullptr, GetCurrentThreadId());
    mouse_heard.clear();
    EXPECT_TRUE(run(IdleMode::modal_until_q, "idle\nkey f9\nclick 600 300\nkeys q\nidle 2\n"));
    UnhookWindowsHookEx(closer);
    EXPECT_FALSE(IsWindowVisible(closing_window)) << "the window under the pointer never closed";
    for (HWND window : {closing_window, below, clicked})
        DestroyWindow(window);
    const std::vector<std::string> clicked_there{"down 100,100 held", "up 100,100"};
    EXPECT_NE(std::search(mouse_heard.begin(), mouse_heard.end(), clicked_there.begin(), clicked_there.end()),
              mouse_heard.end())
        << testing::PrintToString(mouse_heard);
    const auto click_came = std::find_if(mouse_heard.begin(), mouse_heard.end(),
                                         [](const std::string& heard) { return heard.find(" 100,100") != heard.npos; });
    EXPECT_EQ(std::count(click_came, mouse_heard.end(), "move 40,40"), 0) << testing::PrintToString(mouse_heard);
}

// Under X, Wine tells the window in front that it lost the focus when the X server's report comes, however late,
// and the window ends its capture then. Staged as a loaded machine met it after a popup of the module closed:
// at F9 the focus goes to another window and straight back, and the UI thread dispatches on without a look at
// the X server's events until the session's press has moved the pointer. The report of the focus going away is
// taken before the press, and does not end the drag the press begins.
HWND focus_target = nullptr;
HWND focus_elsewhere = nullptr;

void focus_away_and_back()
{
    SetForegroundWindow(focus_elsewhere);
    SetForegroundWindow(focus_target);
}

TEST_F(StandinSessionInput, AReportOfTheFocusGoingAwayOwedFromBeforeAPressDoesNotEndItsDrag)
{
    focus_elsewhere = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 700, 200, 100, 100,
                                      nullptr, nullptr, nullptr, nullptr);
    focus_target = mouse_target(200);
    focus_and_take_answers(focus_target);
    SetCursorPos(closing_at.x, closing_at.y);
    stage_until = 0;
    HHOOK stager =
        SetWindowsHookExW(WH_GETMESSAGE, &stage_at_f9<&focus_away_and_back>, nullptr, GetCurrentThreadId());
    mouse_heard.clear();
    EXPECT_TRUE(run(IdleMode::modal_until_q, "idle\nkey f9\npress 250 250\nmove 270 270\nrelease 270 270\nkeys q\n"
                                             "idle 2\n"));
    UnhookWindowsHookEx(stager);
    for (HWND window : {focus_target, focus_elsewhere})
        DestroyWindow(window);
    const auto cancel = std::find(mouse_heard.begin(), mouse_heard.end(), "cancel");
    const auto down = std::find(mouse_heard.begin(), mouse_heard.end(), "down 50,50 held");
    ASSERT_NE(cancel, mouse_heard.end()) << "the focus never went away: " << testing::PrintToString(mouse_heard);
    ASSERT_NE(down, mouse_heard.end()) << testing::PrintToString(mouse_heard);
    const bool cancelled_after_press = std::find(down, mouse_heard.end(), "cancel") != mouse_heard.end();
    EXPECT_FALSE(cancelled_after_press) << testing::PrintToString(mouse_heard);
    EXPECT_NE(std::find(down, mouse_heard.end(), "move 70,70 held"), mouse_heard.end())
        << testing::PrintToString(mouse_heard);
}

// The same report ends a menu as it opens: Wine's menu loop takes the X server's events while it waits, and a
// report that the window in front lost the focus cancels it. Staged as the preferences met it after "Set
// Shortcut" closed: at F9 a window of the test is shown and hidden, and the UI thread dispatches on without a look
// at the X server's events until the session's input has come; the input opens a menu, which must stay open for
// the `menu` that follows and take its item. A box opens it on a press, as the "UI Color" drop-down does, or on
// F8. A menu a failed session left open ends once the watchdog has reported, so the case ends.
constexpr UINT dark_item = 1;
constexpr UINT light_item = 2;
constexpr UINT_PTR hang_check = 1;
UINT box_chose = 0;

LRESULT CALLBACK menu_box_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_TIMER && wparam == hang_check && hang_reported)
        EndMenu();
    if (message != WM_LBUTTONDOWN && (message != WM_KEYDOWN || wparam != VK_F8))
        return DefWindowProcW(window, message, wparam, lparam);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, dark_item, L"Dark");
    AppendMenuW(menu, MF_STRING, light_item, L"Light");
    RECT box{};
    GetWindowRect(window, &box);
    SetTimer(window, hang_check, 100, nullptr);
    box_chose = UINT(TrackPopupMenuEx(menu, TPM_RETURNCMD, box.left, box.bottom, window, nullptr));
    KillTimer(window, hang_check);
    DestroyMenu(menu);
    return 0;
}

void show_and_hide_a_window()
{
    ShowWindow(focus_elsewhere, SW_SHOW);
    ShowWindow(focus_elsewhere, SW_HIDE);
}

// F8's press waits in the queue. Its key state would not do: the reports taken before it can let keys go.
bool key_waits() { return HIWORD(GetQueueStatus(QS_KEY)) & QS_KEY; }

class StandinSessionOwedReports : public StandinSessionInput {
protected:
    StandinSessionOwedReports()
    {
        WNDCLASSW box_class{};
        box_class.lpfnWndProc = &menu_box_procedure;
        box_class.lpszClassName = L"StandinTestMenuBox";
        RegisterClassW(&box_class);
        focus_target = CreateWindowExW(WS_EX_TOPMOST, L"StandinTestMenuBox", L"", WS_POPUP | WS_VISIBLE, 200, 200, 200,
                                       100, nullptr, nullptr, nullptr, nullptr);
        focus_elsewhere = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP, 700, 200, 100, 100, nullptr,
                                          nullptr, nullptr, nullptr);
        focus_and_take_answers(focus_target);
        SetCursorPos(closing_at.x, closing_at.y);
        stage_until = 0;
        box_chose = 0;
    }
    ~StandinSessionOwedReports() override
    {
        UnhookWindowsHookEx(stager_);
        for (HWND window : {focus_target, focus_elsewhere})
            DestroyWindow(window);
    }

    // The staging hook, then the session; whether it passed, its first failure told.
    template <bool (*input_came)(), bool at_release>
    bool run_staged(const char* session)
    {
        stager_ = SetWindowsHookExW(WH_GETMESSAGE, &stage_at_f9<&show_and_hide_a_window, input_came, at_release>,
                                    nullptr, GetCurrentThreadId());
        const bool passed = run(IdleMode::modal_until_q, session, standin::session_watchdog_ms, 3000);
        EXPECT_NE(stage_until, 0u) << "F9 never staged the window";
        EXPECT_TRUE(passed) << runner_->failures()[0].message;
        return passed;
    }

    HHOOK stager_ = nullptr;
};

TEST_F(StandinSessionOwedReports, AReportOwedFromBeforeAClickDoesNotEndTheMenuItsPressOpens)
{
    run_staged<&pointer_moved_from_closing_at, false>("idle\nkey f9\nclick 300 250\nmenu Light\nkeys q\nidle 2\n");
    EXPECT_EQ(box_chose, light_item);
}

TEST_F(StandinSessionOwedReports, AReportOwedFromBeforeAKeyDoesNotEndTheMenuItOpens)
{
    // Staged at F9's release: a key message waits from then on only once F8 is pressed.
    run_staged<&key_waits, true>("idle\nkey f9\nkey f8\nmenu Light\nkeys q\nidle 2\n");
    EXPECT_EQ(box_chose, light_item);
}

// The idle call that opens the loop does not return until the next command's key ends it.
TEST_F(StandinSessionInput, CommandsDriveAModalLoopOfTheModule)
{
    modal_runs = 0;
    modal_ended_by_key = false;
    hang_reported = false;
    EXPECT_TRUE(run(IdleMode::modal_until_q, "idle\nwait 100\nkeys q\nidle 2\n"));
    EXPECT_EQ(modal_runs, 1);
    EXPECT_TRUE(modal_ended_by_key);
    EXPECT_FALSE(host_.inside_module());
}

TEST_F(StandinSessionInput, ABusyUiThreadFailsTheSessionThroughTheWatchdog)
{
    EXPECT_FALSE(run(IdleMode::busy, "idle\nselect Title\n", 300));
    EXPECT_EQ(hangs_, 1);
    ASSERT_EQ(runner_->failures().size(), 1u);
    EXPECT_EQ(runner_->failures()[0].line, 1);
    EXPECT_NE(runner_->failures()[0].message.find("busy for more than"), std::string::npos);
}

// A quit while a command's own call waits in a loop of the module is told at the quit, naming the command.
TEST_F(StandinSessionInput, AQuitOverALoopACommandEnteredIsToldAtTheQuit)
{
    modal_runs = 0;
    modal_ended_by_key = false;
    hang_reported = false;
    EXPECT_FALSE(run(IdleMode::modal_until_q, "idle\nquit\n", 300));
    EXPECT_EQ(hangs_, 1);
    ASSERT_FALSE(runner_->failures().empty());
    EXPECT_EQ(runner_->failures()[0].line, 2);
    EXPECT_EQ(runner_->failures()[0].command, "quit");
    EXPECT_NE(runner_->failures()[0].message.find("opened during line 1, idle"), std::string::npos)
        << runner_->failures()[0].message;
}

// The quit runs the death hooks within the watchdog's time: a question they open that no command is left
// to answer ends the session, told at the quit.
TEST_F(StandinSessionInput, AQuestionTheDeathHooksOpenAtTheQuitEndsThroughTheWatchdog)
{
    death_opens_question = true;
    EXPECT_FALSE(run(IdleMode::watch_keys, "idle\nquit\n", 300));
    EXPECT_EQ(modal_runs, 1);
    EXPECT_EQ(hangs_, 1);
    ASSERT_FALSE(runner_->failures().empty());
    const standin::SessionFailure& told = runner_->failures()[0];
    EXPECT_EQ(told.line, 2);
    EXPECT_NE(told.message.find("opened by the death hooks at the quit"), std::string::npos) << told.message;
}

// `death` runs them as a command: the commands after it answer their question, and the quit runs them no more.
TEST_F(StandinSessionInput, CommandsAfterDeathAnswerTheQuestionTheDeathHooksOpen)
{
    death_opens_question = true;
    EXPECT_TRUE(run(IdleMode::watch_keys, "idle\ndeath\nkeys q\nquit\n"));
    EXPECT_EQ(modal_runs, 1);
    EXPECT_TRUE(modal_ended_by_key);
    EXPECT_EQ(host_.book().death_hook_calls, 1);
    EXPECT_FALSE(host_.inside_module());
}

// After `death` no idle call comes to poll a key sent with no window of the module in front: the key fails at
// once, rather than waiting out the find time as keys the system kept letting go; later commands still run.
TEST_F(StandinSessionInput, AKeyNoIdleCallCanSeeAfterDeathFailsAtOnce)
{
    EXPECT_FALSE(run(IdleMode::watch_keys, "idle\ndeath\nkey escape\nidle\n"));
    ASSERT_EQ(runner_->failures().size(), 1u);
    EXPECT_EQ(runner_->failures()[0].line, 3);
    EXPECT_EQ(runner_->failures()[0].command, "key");
    EXPECT_EQ(runner_->failures()[0].message,
              "the module is gone (its death hooks ran, or it was unloaded): no idle call can see the keys");
    EXPECT_FALSE(GetAsyncKeyState(VK_ESCAPE) & 0x8000);
}

// A real host cannot quit while a question of the module is open; a session can, and the watchdog's promise
// holds there too.
TEST_F(StandinSessionInput, AQuitOverAQuestionTheHostsLoopOpenedEndsThroughTheWatchdog)
{
    modal_runs = 0;
    hang_reported = false;
    WNDCLASSW question_class{};
    question_class.lpfnWndProc = &question_procedure;
    question_class.lpszClassName = L"StandinTestQuestion";
    RegisterClassW(&question_class);
    question_opener = CreateWindowExW(0, L"StandinTestQuestion", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                      nullptr);
    ASSERT_NE(question_opener, nullptr);
    EXPECT_FALSE(run(IdleMode::question_from_host_loop, "idle\nquit\n", 300));
    DestroyWindow(question_opener);
    EXPECT_EQ(modal_runs, 1);
    EXPECT_EQ(hangs_, 1);
    ASSERT_FALSE(runner_->failures().empty());
    EXPECT_NE(runner_->failures()[0].message.find("still inside the module"), std::string::npos);
}

}  // namespace
