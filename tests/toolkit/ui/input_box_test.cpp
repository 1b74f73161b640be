#include <gtest/gtest.h>
#include <windows.h>

#include <imm.h>

#include <memory>
#include <string>

#include "tests/support/key_state.h"
#include "tests/support/window_fixture.h"
#include "toolkit/ui/clipboard_session.h"
#include "toolkit/ui/clipboard_text.h"
#include "toolkit/ui/input_box.h"

using namespace qzsdk::ui;
using qzsdk::test::event_log;
using qzsdk::test::key_state;
using qzsdk::test::window_test;

namespace {

using lines = std::vector<std::string>;

// A 200 x 24 box at (10, 10) holding the keyboard focus of its (hidden) window.
class input : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        box.name = "search";
        box.attach_to_window(&window.root(), rect{10, 10, 200, 24});
        log.listen(&box, "box", {event_id::value_changed, event_id::activated, event_id::cancelled,
                                 event_id::char_input, event_id::focus_gained, event_id::focus_lost});
        log.listen(&box.inside, "inside", {event_id::value_changed, event_id::activated, event_id::cancelled});
        window.set_focus_widget(&box, 0);
        log.take();
    }

    void type(std::wstring_view text)
    {
        for (wchar_t c : text)
            send(WM_CHAR, c, 1);
    }
    void key(int virtual_key)
    {
        send(WM_KEYDOWN, static_cast<WPARAM>(virtual_key), 1);
        send(WM_KEYUP, static_cast<WPARAM>(virtual_key), 0xC0000001);
    }
    void key_with(int modifier, int virtual_key)
    {
        keys.press(modifier);
        key(virtual_key);
        keys.release(modifier);
    }
    void control_key(int virtual_key) { key_with(VK_LCONTROL, virtual_key); }
    void backspace() { send(WM_CHAR, L'\b', 1); }
    const std::wstring& text() const { return box.inside.text(); }

    key_state keys;
    input_box box;
    event_log log;
};

std::wstring wide(const char8_t* text)
{
    std::string bytes(reinterpret_cast<const char*>(text));
    int count = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), result.data(), count);
    return result;
}


// Proves that nothing left the clipboard open.
bool clipboard_is_free()
{
    clipboard_session session(nullptr);
    return session.is_open();
}

}  // namespace

TEST_F(input, TypingReplacesTheSelectionAndReportsOnTheBox)
{
    type(L"ab");
    key(VK_LEFT);
    key_with(VK_LSHIFT, VK_LEFT);
    EXPECT_EQ(box.inside.caret(), 0);
    EXPECT_EQ(box.inside.selection(), 1);
    log.take();
    type(L"x");
    EXPECT_EQ(text(), L"xb");
    EXPECT_EQ(box.inside.caret(), 1);
    EXPECT_EQ(log.take(), (lines{"box:37:0", "box:37:0", "box:11:0"}));
    EXPECT_EQ(box.get_text(), "xb");
}

TEST_F(input, CaretKeysDeletionAndTheTextsEnds)
{
    type(L"abcd");
    key(VK_HOME);
    EXPECT_EQ(box.inside.caret(), 0);
    key(VK_DELETE);
    EXPECT_EQ(text(), L"bcd");
    key(VK_END);
    backspace();
    EXPECT_EQ(text(), L"bc");
    key_with(VK_LSHIFT, VK_HOME);
    EXPECT_EQ(box.inside.caret(), 0);
    EXPECT_EQ(box.inside.selection(), 2);
    key(VK_DELETE);
    EXPECT_EQ(text(), L"");
    // At the limits nothing moves and nothing is reported.
    log.take();
    key(VK_DELETE);
    backspace();
    key(VK_LEFT);
    EXPECT_EQ(box.inside.caret(), 0);
    EXPECT_EQ(log.take(event_id::value_changed), lines{});
    // Tab stays out of the text; Control swallows characters, AltGr (Control + right Alt) types them.
    window.tab_navigation = false;
    type(L"\t");
    keys.press(VK_LCONTROL);
    type(L"q");
    keys.press(VK_RMENU);
    type(L"@");
    keys.release(VK_RMENU);
    keys.release(VK_LCONTROL);
    EXPECT_EQ(text(), L"@");
}

TEST_F(input, EnterAndEscapeReportOnTheBoxInWinesOrder)
{
    type(L"ab");
    log.take();
    send(WM_KEYDOWN, VK_RETURN, 1);
    send(WM_CHAR, L'\r', 1);
    EXPECT_EQ(text(), L"ab");
    EXPECT_EQ(log.take(), (lines{"box:38:0"}));

    // The Escape character comes after the key-down has moved the focus away.
    send(WM_KEYDOWN, VK_ESCAPE, 1);
    send(WM_CHAR, 27, 1);
    EXPECT_EQ(text(), L"");
    EXPECT_EQ(window.focused_widget(), &window.root());
    EXPECT_EQ(log.take(), (lines{"box:37:0", "box:34:0", "box:39:0"}));
}

TEST_F(input, FocusEventsReachTheBoxWithFlagOne)
{
    std::vector<uint32_t> flags;
    event_manager::instance().connect(&box, &log, event_id::focus_lost,
                                      [&](const event_info& info) { flags.push_back(info.flag); });
    event_manager::instance().connect(&box, &log, event_id::focus_gained,
                                      [&](const event_info& info) { flags.push_back(info.flag); });
    window.set_focus_widget(&window.root(), 0);
    EXPECT_EQ(log.take(), (lines{"box:34:0"}));
    EXPECT_EQ(flags, std::vector<uint32_t>{1});
    // Focus given to the box moves on to its panel, which reports last.
    window.set_focus_widget(&box, 0);
    EXPECT_EQ(window.focused_widget(), &box.inside);
    EXPECT_EQ(log.take().back(), "box:33:0");
    EXPECT_EQ(flags.back(), 1u);
}

TEST_F(input, SurrogatePairsAndMultibyteTextStayWhole)
{
    const std::wstring smile = wide(u8"\U0001F600");
    ASSERT_EQ(smile.size(), 2u);
    type(L"\u00e9");
    type(smile);
    type(L"z");
    EXPECT_EQ(box.get_text(), reinterpret_cast<const char*>(u8"\u00e9\U0001F600z"));
    EXPECT_EQ(log.take(event_id::value_changed).size(), 3u);
    key(VK_LEFT);
    key(VK_LEFT);
    EXPECT_EQ(box.inside.caret(), 1);
    key_with(VK_LSHIFT, VK_RIGHT);
    EXPECT_EQ(box.inside.selection(), -2);
    key(VK_END);
    backspace();
    backspace();
    EXPECT_EQ(text(), L"\u00e9");
    // A lone low surrogate is dropped; a full field never takes half a pair.
    send(WM_CHAR, 0xDC00, 1);
    box.inside.max_length = 2;
    type(smile);
    EXPECT_EQ(text(), L"\u00e9");
}

TEST_F(input, CopyCutAndPasteGoThroughTheRealClipboard)
{
    type(L"hello");
    control_key('A');
    control_key('C');
    EXPECT_EQ(text_from_clipboard(), std::optional<std::wstring>(L"hello"));
    EXPECT_TRUE(clipboard_is_free());
    control_key('X');
    EXPECT_EQ(text(), L"");
    EXPECT_TRUE(clipboard_is_free());

    ASSERT_TRUE(copy_text_to_clipboard(L"one\r\ntwo\n"));
    log.take();
    control_key('V');
    EXPECT_EQ(text(), L"onetwo");
    EXPECT_EQ(log.take(), (lines{"box:37:0"}));
    EXPECT_TRUE(clipboard_is_free());

    // A clipboard without text leaves the field alone.
    {
        clipboard_owner owner;
        clipboard_session session(owner.handle());
        ASSERT_TRUE(session.is_open());
        EmptyClipboard();
    }
    control_key('V');
    EXPECT_EQ(text(), L"onetwo");
    EXPECT_TRUE(clipboard_is_free());
}

TEST_F(input, PasteIsCutToTheRoomLeft)
{
    box.inside.max_length = 3;
    type(L"ab");
    ASSERT_TRUE(copy_text_to_clipboard(L"cde"));
    control_key('V');
    EXPECT_EQ(text(), L"abc");
    control_key('V');
    EXPECT_EQ(text(), L"abc");
    // A limit lowered below the text's length leaves no room rather than wrapping around.
    box.inside.max_length = 1;
    control_key('V');
    EXPECT_EQ(text(), L"abc");
}

TEST_F(input, UndoRingHoldsNineteenStepsAndRedoReturns)
{
    for (int i = 0; i < 25; ++i)
        type(L"x");
    log.take();
    for (int i = 0; i < 19; ++i)
        control_key('Z');
    EXPECT_EQ(text(), std::wstring(6, L'x'));
    // Each step back changes the text, and the box says so.
    EXPECT_EQ(log.take(event_id::value_changed).size(), 19u);
    control_key('Z');
    EXPECT_EQ(text(), std::wstring(6, L'x'));
    keys.press(VK_LSHIFT);
    control_key('Z');
    keys.release(VK_LSHIFT);
    EXPECT_EQ(text(), std::wstring(7, L'x'));
    EXPECT_EQ(box.inside.caret(), 7);
}

TEST_F(input, SetTextReportsWithFlagOneAndKeepsTheCaretInside)
{
    std::vector<uint32_t> flags;
    event_manager::instance().connect(&box, &log, event_id::value_changed,
                                      [&](const event_info& info) { flags.push_back(info.flag); });
    type(L"abcdef");
    flags.clear();
    box.inside.set_text("x\r\ny");
    EXPECT_EQ(text(), L"xy");
    EXPECT_EQ(flags, std::vector<uint32_t>{1});
    EXPECT_EQ(box.inside.caret(), 2);
    key(VK_RIGHT);
    EXPECT_EQ(box.inside.caret(), 2);
}

TEST_F(input, LongTextSlidesToTheRightEdgeAndBack)
{
    const int32_t home_x = box.inside.bounds().x;
    type(std::wstring(120, L'W'));
    const rect slid = box.inside.bounds();
    EXPECT_LT(slid.x, home_x);
    EXPECT_GE(slid.width, box.margins.bounds().width);
    control_key('A');
    backspace();
    type(L"W");
    EXPECT_EQ(box.inside.bounds().x, home_x);
}

TEST_F(input, BoxDestroyedInsideItsOwnHandlersIsLeftAlone)
{
    // Each handler destroys the box; what the box does after the fire must not touch it.
    const std::pair<uint32_t, wchar_t> cases[] = {{event_id::activated, L'\r'},
                                                  {event_id::cancelled, 27},
                                                  {event_id::focus_lost, 27},
                                                  {event_id::value_changed, L'a'},
                                                  {event_id::char_input, L'a'}};
    for (auto [id, character] : cases) {
        auto doomed = std::make_unique<input_box>();
        doomed->attach_to_window(&window.root(), rect{10, 50, 200, 24});
        window.set_focus_widget(doomed.get(), 0);
        doomed->inside.set_text("text");
        event_manager::instance().connect(doomed.get(), &log, id, [&](const event_info&) { doomed.reset(); });
        if (character == 27 || character == L'\r')
            send(WM_KEYDOWN, character == 27 ? VK_ESCAPE : VK_RETURN, 1);
        if (doomed)
            send(WM_CHAR, character, 1);
        EXPECT_EQ(doomed, nullptr) << id;
        window.set_focus_widget(&window.root(), 0);
    }
}

TEST_F(input, MouseClickAndDragMoveTheCaretAndSelect)
{
    ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
    type(L"abcdef");
    auto press_at = [&](UINT message, int x) { mouse_at(message, x, 20, message == WM_LBUTTONUP ? 0 : MK_LBUTTON); };
    press_at(WM_LBUTTONDOWN, 13);
    EXPECT_EQ(box.inside.caret(), 0);
    press_at(WM_MOUSEMOVE, 13);  // arms leave tracking
    press_at(WM_MOUSEMOVE, 190);
    EXPECT_EQ(box.inside.caret(), 6);
    EXPECT_EQ(box.inside.selection(), -6);
    press_at(WM_LBUTTONUP, 190);
    EXPECT_EQ(captured_widget(), nullptr);
    press_at(WM_LBUTTONDOWN, 190);
    EXPECT_EQ(box.inside.caret(), 6);
    EXPECT_EQ(box.inside.selection(), 0);
    press_at(WM_LBUTTONUP, 190);
    mouse(WM_LBUTTONDBLCLK, 20, 20);
    EXPECT_EQ(box.inside.selection(), -6);
}

TEST_F(input, ImeCompositionIsComposedThenCommitted)
{
    HIMC context = ImmGetContext(window.handle());
    if (!context)
        GTEST_SKIP() << "no input context";
    type(L"a");
    log.take();
    auto compose = [&](const std::wstring& composing) {
        ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<wchar_t*>(composing.c_str()),
                                 static_cast<DWORD>(composing.size() * sizeof(wchar_t)), nullptr, 0);
        send(WM_IME_COMPOSITION, 0, GCS_COMPSTR | GCS_CURSORPOS);
    };
    const std::wstring word = wide(u8"\u65e5\u672c");
    send(WM_IME_STARTCOMPOSITION);
    compose(word);
    EXPECT_EQ(text(), L"a" + word);
    EXPECT_EQ(log.take(event_id::value_changed), lines{});
    // A composition of any length is read whole and the caret stays inside the text.
    const std::wstring long_word(3000, L'\u8a9e');
    compose(long_word);
    EXPECT_EQ(text(), L"a" + long_word);
    EXPECT_LE(box.inside.caret(), static_cast<int32_t>(text().size()));
    compose(word);
    EXPECT_EQ(text(), L"a" + word);
    ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    send(WM_IME_ENDCOMPOSITION);
    ImmReleaseContext(window.handle(), context);
    qzsdk::test::pump_messages();
    EXPECT_EQ(text(), L"a" + word);
    EXPECT_FALSE(log.take(event_id::value_changed).empty());
}

namespace {

// Read by the timer that runs inside the menu loop.
std::vector<UINT> menu_states;

void CALLBACK choose_last_item(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menu_window = FindWindowW(L"#32768", nullptr);
    if (!menu_window)
        return;
    KillTimer(nullptr, timer);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(menu_window, MN_GETHMENU, 0, 0));
    menu_states.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        menu_states.push_back(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
    PostMessageW(menu_window, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menu_window, WM_KEYDOWN, VK_RETURN, 0);
}

}  // namespace

TEST_F(input, ContextMenuOffersEditingByTheSelectionAndRunsTheChoice)
{
    ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
    type(L"abc");
    UINT_PTR timer = SetTimer(nullptr, 0, 50, choose_last_item);
    mouse(WM_RBUTTONDOWN, 20, 20);
    KillTimer(nullptr, timer);
    // Cut, Copy, Paste, Delete, separator, Select All: only Paste and Select All without a selection.
    ASSERT_EQ(menu_states.size(), 6u);
    for (size_t greyed : {0, 1, 3})
        EXPECT_NE(menu_states[greyed], 0u) << greyed;
    EXPECT_EQ(menu_states[2] | menu_states[5], 0u);
    EXPECT_EQ(box.inside.selection(), -3);
}

TEST_F(input, PaintPassDrawsBoxAndPanelInEveryState)
{
    qzsdk::test::reported_exceptions failures;
    show_without_focus();
    record_paints(box);
    record_paints(box.inside);
    box.inside.set_placeholder("Search", false);
    window.set_focus_widget(&window.root(), 0);
    EXPECT_EQ(paint_now(), (lines{"search", "searchinside"}));
    window.set_focus_widget(&box, 0);
    type(L"WWWW");
    control_key('A');
    box.set_enabled(false);
    InvalidateRect(window.handle(), nullptr, FALSE);
    EXPECT_EQ(paint_now(), (lines{"search", "searchinside"}));
    EXPECT_TRUE(failures.messages.empty());
}

TEST_F(input, ClickHalvesOfACharacterBeyondTheFirstPlane)
{
    ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
    const std::wstring smile = wide(u8"\U0001F600");
    type(L"W" + smile + L"W");
    window.renderer()->set_font("tahoma", 12.0f, 0, 0);
    const std::vector<float> widths = window.renderer()->cluster_widths(reinterpret_cast<const char*>(u8"W\U0001F600W"));
    ASSERT_EQ(widths.size(), 4u);
    ASSERT_GT(widths[2], 4.0f);
    auto click_at = [&](float panel_x) {
        const int x = 13 + static_cast<int>(panel_x);
        mouse_at(WM_LBUTTONDOWN, x, 20, MK_LBUTTON);
        mouse(WM_LBUTTONUP, x, 20);
        return box.inside.caret();
    };
    // The second character is two UTF-16 units: its right half puts the caret after both.
    EXPECT_EQ(click_at(widths[1] + widths[2] * 0.2f), 1);
    EXPECT_EQ(click_at(widths[1] + widths[2] * 0.8f), 3);
    EXPECT_EQ(click_at(150), 4);
}
