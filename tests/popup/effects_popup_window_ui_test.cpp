// The popup as a real window: shown by its command entry, driven by typed characters, keys, clicks and the
// wheel; read back through its events 38, 44, 35 and 36, its state and its painted pixels.
#include "tests/support/local_http_server.h"
#include "tests/support/menu_driver.h"

#include "popup/effects_popup_window.h"
#include "standin/input.h"
#include "tests/support/effects_popup_window_test_api.h"
#include "tests/support/key_state.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>
#include <stdexcept>
#include <string>

using namespace qzsdk::ui;
using qzsdk::test::event_log;
using qzsdk::test::looks_like;
using qzsdk::test::make_folder;
using qzsdk::test::menu_driver;
using qzsdk::test::pump_messages;
using qzsdk::test::pump_until;
using qzsdk::test::take_exposure;
using qzsdk::test::temp_folder;
using qzsdk::test::window_snapshot;

namespace {

// Real key strokes, as the user's keyboard gives them: they reach whichever window has the focus.
void send_keys(std::initializer_list<std::pair<WORD, bool>> strokes)
{
    for (auto [key, down] : strokes)
        standin::send_key(key, down);
}

std::vector<EffectEntry> catalogue()
{
    std::vector<EffectEntry> entries{{1, "Glow", "glow", "Stylize", false},
                                     {2, "Gaussian Blur", "gaussian blur", "Blur & Sharpen", false},
                                     {3, "Blur", "blur", "Blur & Sharpen", false},
                                     {-1, "Glow Pulse", "glow pulse", "Animation Preset", true}};
    for (int i = 0; i < 30; ++i)
        entries.push_back({10 + i, "Extra " + std::to_string(i), "extra " + std::to_string(i), "Misc", false});
    return entries;
}

class PopupWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        make_folder(local_.get());
        settings_.capture_folder = (local_ / L"captures").to_utf8();
        owner_.create("owner", {0, 0, 200, 200}, window_style::borderless);
        popup_ = MakePopup(EffectsPopupWindowTestApi::refusing_news_server());
        log_.listen(popup_.get(), "popup", {event_id::activated, event_id::command, event_id::shown, event_id::hidden});
    }
    void TearDown() override
    {
        popup_.reset();
        pump_messages();
    }
    std::unique_ptr<EffectsPopupWindow> MakePopup(NewsServer server)
    {
        auto made = std::make_unique<EffectsPopupWindow>(&owner_, &settings_, MakerFolders{local_.get(), common_.get()},
                                                         std::move(server));
        made->SetEffects(catalogue());
        return made;
    }
    EffectsPopupWindowTestApi api() { return EffectsPopupWindowTestApi(*popup_); }
    int32_t Command(int32_t command, const std::string& layer = "Title")
    {
        int32_t result = 0;
        popup_->RunCommand(result, "Shot", "Main Comp", layer, command);
        return result;
    }
    // Shown with a layer, as the hotkey does, and the search box given the focus as the popup's timer does.
    void ShowWithLayer()
    {
        Command(popup_command_show);
        SendMessageW(popup_->handle(), WM_SETFOCUS, 0, 0);
        popup_->set_focus_widget(&api().search_box().inside, 0);
        log_.take();
    }
    // Shown as the hotkey shows it, in front with the keyboard in the search box, for real input.
    void ShowFocused()
    {
        Command(popup_command_show);
        SetForegroundWindow(popup_->handle());
        ASSERT_TRUE(pump_until([&] {
            return GetForegroundWindow() == popup_->handle() && popup_->focused_widget() == &api().search_box().inside;
        }));
        log_.take();
    }
    // A real click at a screen point.
    void RealClick(POINT screen) { standin::send_click(screen.x, screen.y); }
    POINT Screen(POINT client)
    {
        ClientToScreen(popup_->handle(), &client);
        return client;
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text)
            SendMessageW(popup_->handle(), WM_CHAR, c, 0);
    }
    // As a real keystroke arrives: the key down, the character TranslateMessage makes of it, the key up.
    void Key(WPARAM key)
    {
        SendMessageW(popup_->handle(), WM_KEYDOWN, key, 0);
        if (key == VK_RETURN)
            SendMessageW(popup_->handle(), WM_CHAR, L'\r', 0);
        SendMessageW(popup_->handle(), WM_KEYUP, key, 0);
    }
    // The row's centre in client coordinates.
    POINT RowCentre(size_t index)
    {
        const rect area = api().row(index)->visible_area();
        return {area.x + 50, area.y + area.height / 2};
    }
    void Click(POINT at, UINT down, UINT up)
    {
        SendMessageW(popup_->handle(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        SendMessageW(popup_->handle(), down, 0, MAKELPARAM(at.x, at.y));
        SendMessageW(popup_->handle(), up, 0, MAKELPARAM(at.x, at.y));
    }
    SIZE ClientSize()
    {
        RECT r{};
        GetClientRect(popup_->handle(), &r);
        return {r.right, r.bottom};
    }
    std::string Chosen(const std::vector<std::string>& lines)
    {
        if (lines.size() != 1)
            return "";
        const uint64_t pointer = std::stoull(lines[0].substr(lines[0].rfind(':') + 1));
        return reinterpret_cast<const EffectEntry*>(pointer)->name;
    }

    temp_folder local_;
    temp_folder common_;
    PopupSettings settings_;
    window owner_;
    std::unique_ptr<EffectsPopupWindow> popup_;
    event_log log_;
};

}  // namespace

TEST_F(PopupWindowTest, WithoutALayerItIsTheButtonRowAndAnyKeyOrCharacterHidesIt)
{
    EXPECT_FALSE(popup_->is_visible());
    EXPECT_EQ(Command(popup_command_show, ""), -1);
    EXPECT_TRUE(popup_->is_visible());
    EXPECT_EQ(ClientSize().cx, 218);
    EXPECT_EQ(ClientSize().cy, 68);
    EXPECT_TRUE(api().screenshot_button().is_enabled(false));  // a composition is active
    {
        window_snapshot shot(*popup_);
        EXPECT_TRUE(looks_like(shot.pixel(5, 5), popup_->current_theme()->top_bar_color));
        EXPECT_TRUE(looks_like(shot.pixel(200, 20), popup_->current_theme()->corner_color));
        EXPECT_TRUE(looks_like(shot.pixel(5, 50), popup_->current_theme()->header_back_color));
    }
    Key(VK_SHIFT);
    EXPECT_TRUE(popup_->is_visible());
    Type(L"x");
    EXPECT_FALSE(popup_->is_visible());
    EXPECT_EQ(log_.take(), (std::vector<std::string>{"popup:35:0", "popup:36:0"}));

    int32_t result = 0;
    popup_->RunCommand(result, "", "", "", popup_command_show);
    EXPECT_FALSE(api().screenshot_button().is_enabled(false));
    popup_->RunCommand(result, "", "", "", popup_command_export_menu);  // nothing to export: no menu
    EXPECT_EQ(Command(popup_command_news_count), -1);
    EXPECT_EQ(Command(42), -1);
}

TEST_F(PopupWindowTest, TypingSearchesArrowsMoveTheSelectionAndEnterChoosesIt)
{
    ShowWithLayer();
    EXPECT_EQ(ClientSize().cx, 397);
    EXPECT_EQ(ClientSize().cy, 45);
    Type(L"gl");
    ASSERT_EQ(api().row_count(), 2u);  // Glow, then the preset Glow Pulse
    EXPECT_EQ(ClientSize().cy, 45 + 1 + 20 + 30 + 20 + 30);
    EXPECT_EQ(api().selected(), 0u);
    Key(VK_DOWN);
    EXPECT_EQ(api().selected(), 1u);
    EXPECT_TRUE(api().row(1)->highlighted());
    EXPECT_FALSE(api().row(0)->highlighted());
    Key(VK_DOWN);  // past the last row: back to the first
    EXPECT_EQ(api().selected(), 0u);
    Key(VK_UP);
    EXPECT_EQ(api().selected(), 1u);
    Key(VK_TAB);  // from a preset to the first row
    EXPECT_EQ(api().selected(), 0u);
    Key(VK_TAB);  // from an effect to the first preset
    EXPECT_EQ(api().selected(), 1u);
    Key(VK_RETURN);
    EXPECT_EQ(Chosen(log_.take(event_id::activated)), "Glow Pulse");
    EXPECT_FALSE(popup_->is_visible());

    ShowWithLayer();
    Type(L"zzz");
    EXPECT_EQ(api().row_count(), 0u);
    Key(VK_RETURN);  // nothing listed: hides and chooses nothing
    EXPECT_TRUE(log_.take(event_id::activated).empty());
    EXPECT_FALSE(popup_->is_visible());

    ShowWithLayer();
    Type(L"blur");
    SendMessageW(popup_->handle(), WM_CHAR, 27, 0);  // Escape in the search box
    EXPECT_FALSE(popup_->is_visible());
    EXPECT_TRUE(log_.take(event_id::activated).empty());
}

// What a key changed is repainted, what it did not change is left alone; the window is resized only for a
// new list height.
TEST_F(PopupWindowTest, AKeyRepaintsTheRowsThatChangedAndResizesOnlyForANewListHeight)
{
    popup_->SetEffects({{1, "Bob Blue", "bob blue", "Color", false},
                        {2, "Blue", "blue", "Color", false},
                        {3, "Zen Blob", "zen blob", "Color", false},
                        {4, "Sky Blue", "sky blue", "Color", false}});
    // Over the top bar, where no hover moves the selection; put back for the cases after this one.
    POINT cursor{};
    GetCursorPos(&cursor);
    struct put_back {
        POINT at;
        ~put_back() { SetCursorPos(at.x, at.y); }
    } restore{cursor};
    SetCursorPos(0, 0);
    ShowWithLayer();
    log_.listen(popup_.get(), "popup", {event_id::resized});
    const EffectsTheme& theme = *popup_->current_theme();
    const color lit{0.0f, 0.443f, 0.737f, 1.0f};
    const int32_t first_row = 45 + 1 + 20;

    Type(L"b");  // Bob Blue and Blue begin so, the others hold it further in
    EXPECT_EQ(log_.take(event_id::resized).size(), 1u);
    EXPECT_EQ(ClientSize().cy, first_row + 4 * 30);
    // The rows are counted from a settled window: the growth's exposure is not left to come among them.
    ASSERT_TRUE(take_exposure(popup_->handle(), {0, 45, ClientSize().cx, ClientSize().cy}));
    UpdateWindow(popup_->handle());
    event_log rows;
    for (size_t i = 0; i < 4; ++i)
        rows.listen(api().row(i), std::to_string(i), {event_id::paint});

    Key(VK_DOWN);  // the selection moves from the first row to the second: only those two change
    EXPECT_EQ(api().selected(), 1u);
    const rect first = api().row(0)->visible_area();
    const rect second = api().row(1)->visible_area();
    RECT asked{};
    GetUpdateRect(popup_->handle(), &asked, FALSE);
    EXPECT_EQ((std::vector<LONG>{asked.left, asked.top, asked.right, asked.bottom}),
              (std::vector<LONG>{first.x, first.y, second.x + second.width, second.y + second.height}));
    UpdateWindow(popup_->handle());
    // The paint pass also takes the third row, whose top edge touches the two; the last stays untouched.
    EXPECT_EQ(rows.take(), (std::vector<std::string>{"0:12:0", "1:12:0", "2:12:0"}));

    Type(L"l");  // now only Blue begins so: the first two rows swap, the last two stay
    UpdateWindow(popup_->handle());
    const std::vector<std::string> painted = rows.take();
    EXPECT_NE(std::find(painted.begin(), painted.end(), "0:12:0"), painted.end());
    EXPECT_NE(std::find(painted.begin(), painted.end(), "1:12:0"), painted.end());
    EXPECT_EQ(std::find(painted.begin(), painted.end(), "3:12:0"), painted.end());
    EXPECT_EQ(api().row(0)->entry->name, "Blue");
    EXPECT_EQ(api().row(1)->entry->name, "Bob Blue");
    EXPECT_EQ(api().row(3)->entry->name, "Sky Blue");
    EXPECT_TRUE(log_.take(event_id::resized).empty());
    {
        window_snapshot shot(*popup_);
        EXPECT_TRUE(looks_like(shot.pixel(5, first_row + 15), lit));  // the selection is back on the first row
        EXPECT_TRUE(looks_like(shot.pixel(5, first_row + 45), theme.row_back_color));
        EXPECT_TRUE(looks_like(shot.pixel(100, 44), theme.list_separator_color));
    }

    Type(L"u");  // Zen Blob drops out: the list is one row shorter
    EXPECT_EQ(log_.take(event_id::resized).size(), 1u);
    EXPECT_EQ(ClientSize().cy, first_row + 3 * 30);
    EXPECT_EQ(api().row(2)->entry->name, "Sky Blue");
    Type(L"\b\b\b");  // four rows, four rows again, none
    EXPECT_EQ(ClientSize().cy, 45);
    EXPECT_EQ(log_.take(event_id::resized).size(), 2u);
}

TEST_F(PopupWindowTest, KeysTypedRightAfterTheHotkeyLandInTheSearchBoxButNotTheHotkeysOwn)
{
    settings_.hotkey_mode = hotkey_shift_space;
    qzsdk::test::key_state keys;
    keys.press(VK_SPACE);  // the hotkey's key, still held when the popup opens
    Command(popup_command_show);
    SetForegroundWindow(popup_->handle());
    ASSERT_TRUE(pump_until([&] {
        return GetForegroundWindow() == popup_->handle() && popup_->focused_widget() == &api().search_box().inside;
    }));
    // At once: a repeat of the held key, then the query with a space typed after the hotkey was let go.
    send_keys({{VK_SPACE, true}, {'G', true}, {'G', false}, {VK_SPACE, false}, {'A', true}, {'A', false},
              {VK_SPACE, true}, {VK_SPACE, false}, {'B', true}, {'B', false}});
    EXPECT_TRUE(pump_until([&] { return api().search_box().get_text() == "ga b"; }))
        << api().search_box().get_text();
}

TEST_F(PopupWindowTest, ALeftClickOnARowChoosesItARightClickDoesNot)
{
    ShowWithLayer();
    Type(L"blur");
    ASSERT_EQ(api().row_count(), 2u);
    widget* const search = &api().search_box().inside;
    {
        menu_driver dismiss({});
        Click(RowCentre(0), WM_RBUTTONDOWN, WM_RBUTTONUP);
        EXPECT_TRUE(dismiss.opened());
    }
    const POINT header{RowCentre(0).x, RowCentre(0).y - 25};
    Click(header, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_TRUE(popup_->is_visible());
    EXPECT_EQ(popup_->focused_widget(), search);  // clicks never take the keyboard from the search box
    // The popup's owner rebuilds the list while the click that chose is still being handled.
    event_manager::instance().connect(popup_.get(), popup_.get(), event_id::activated,
                                      [this](const event_info&) { api().Search("gl"); });
    Click(RowCentre(1), WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_EQ(Chosen(log_.take(event_id::activated)), "Gaussian Blur");
    EXPECT_FALSE(popup_->is_visible());
}

TEST_F(PopupWindowTest, ShortcutsShowABarAndADigitAppliesTheirSlot)
{
    popup_->CreateShortcut(&popup_->entries()[2]);  // Blur
    popup_->CreateShortcut(&popup_->entries()[0]);  // Glow
    ShowWithLayer();
    EXPECT_TRUE(api().shortcuts_bar().is_visible(true));
    ASSERT_EQ(api().shortcuts_bar().buttons().size(), 2u);
    EXPECT_EQ(api().shortcuts_bar().buttons()[0]->label(), "Blu");
    EXPECT_EQ(ClientSize().cy, 80);
    Type(L"e");  // typing hides the bar and the list starts under the search box
    EXPECT_FALSE(api().shortcuts_bar().is_visible(true));
    EXPECT_EQ(api().list_container().bounds().y, 45);
    Type(L"2");  // within a query a digit is text
    EXPECT_EQ(api().search_box().get_text(), "e2");
    EXPECT_TRUE(log_.take(event_id::activated).empty());
    Type(L"\b\b3");  // an empty slot: text too
    EXPECT_EQ(api().search_box().get_text(), "3");
    Type(L"\b2");  // with no query it applies the second slot at once
    EXPECT_EQ(Chosen(log_.take(event_id::activated)), "Glow");
    EXPECT_FALSE(popup_->is_visible());

    ShowWithLayer();
    const rect first = api().shortcuts_bar().buttons()[0]->visible_area();
    Click({first.x + 10, first.y + 10}, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_EQ(Chosen(log_.take(event_id::activated)), "Blur");
}

// With real clicks: the press on a slot hides the popup before its release, which goes to whatever lies
// under the cursor then; nothing of that press may hold back the first click of the next opening.
TEST_F(PopupWindowTest, AfterAShortcutClickTheNextOpeningsFirstClickChooses)
{
    popup_->CreateShortcut(&popup_->entries()[2]);  // Blur
    popup_->CreateShortcut(&popup_->entries()[0]);  // Glow
    for (int opening = 0; opening < 3; ++opening) {
        ShowFocused();
        const rect second = api().shortcuts_bar().buttons()[1]->visible_area();
        RealClick(Screen({second.x + second.width / 2, second.y + second.height / 2}));
        EXPECT_TRUE(pump_until([&] { return !popup_->is_visible(); }));
        EXPECT_EQ(Chosen(log_.take(event_id::activated)), "Glow");

        ShowFocused();
        standin::send_text(L"blur");
        ASSERT_TRUE(pump_until([&] { return api().row_count() == 2u; }));
        RealClick(Screen(RowCentre(1)));
        std::vector<std::string> chosen;
        EXPECT_TRUE(pump_until([&] { return !(chosen = log_.take(event_id::activated)).empty(); }))
            << "opening " << opening;
        EXPECT_EQ(Chosen(chosen), "Gaussian Blur");
    }
}

TEST_F(PopupWindowTest, ALongListIsCappedScrollsWithTheWheelAndFollowsTheKeyboard)
{
    ShowWithLayer();
    Type(L"extra");
    ASSERT_EQ(api().row_count(), 30u);
    EXPECT_LT(api().row_widget_count(), 30u);  // only the rows in view are widgets
    EXPECT_EQ(ClientSize().cy, 45 + 1 + 231);
    EXPECT_TRUE(api().scroll_bar().is_visible(true));
    EXPECT_EQ(api().list_container().bounds().width, 397 - 20);
    POINT inside = RowCentre(0);
    ClientToScreen(popup_->handle(), &inside);
    SendMessageW(popup_->handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(inside.x, inside.y));
    EXPECT_GT(api().scroll_bar().position(), 0);
    Key(VK_UP);  // to the last row, scrolled into view at the bottom
    EXPECT_EQ(api().scroll_bar().position(), api().scroll_bar().range());
    ASSERT_NE(api().row(29), nullptr);
    EXPECT_EQ(api().row(29)->entry->name, "Extra 29");
    EXPECT_TRUE(api().row(29)->highlighted());
    Key(VK_DOWN);  // and back to the first, at the top of the view
    EXPECT_EQ(api().scroll_bar().position(), 20);
    EXPECT_EQ(api().row(29), nullptr);
    EXPECT_TRUE(api().row(0)->highlighted());
}

TEST_F(PopupWindowTest, FocusPlacesItAtTheCursorAndKeepsItOnTheMonitor)
{
    ShowWithLayer();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(popup_->handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    for (POINT cursor : {POINT{monitor.rcMonitor.right - 2, monitor.rcMonitor.bottom - 2},
                         POINT{monitor.rcMonitor.left + 1, monitor.rcMonitor.top + 1}}) {
        SetCursorPos(cursor.x, cursor.y);
        SendMessageW(popup_->handle(), WM_SETFOCUS, 0, 0);
        RECT placed{};
        GetWindowRect(popup_->handle(), &placed);
        EXPECT_GE(placed.left, monitor.rcMonitor.left);
        EXPECT_GE(placed.top, monitor.rcMonitor.top);
        EXPECT_LE(placed.right, monitor.rcMonitor.right);
        EXPECT_LE(placed.bottom, monitor.rcMonitor.bottom);
    }
    const POINT middle{(monitor.rcMonitor.left + monitor.rcMonitor.right) / 2, monitor.rcMonitor.bottom / 2};
    SetCursorPos(middle.x, middle.y);
    SendMessageW(popup_->handle(), WM_SETFOCUS, 0, 0);
    RECT placed{};
    GetWindowRect(popup_->handle(), &placed);
    EXPECT_EQ(placed.bottom, middle.y);
    EXPECT_NEAR((placed.left + placed.right) / 2, middle.x, 1);
}

// Ends every open window of this thread with the title, from a timer inside its modal loop; counts them.
std::vector<std::wstring> closed_windows;
void CALLBACK CloseWarnings(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), [](HWND candidate, LPARAM) -> BOOL {
        wchar_t title[64]{};
        GetWindowTextW(candidate, title, 64);
        if (IsWindowVisible(candidate) && std::wstring(title) == L"Failed to Save") {
            closed_windows.push_back(title);
            PostMessageW(candidate, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        return TRUE;
    }, 0);
}

TEST_F(PopupWindowTest, AScreenshotFlashesWhenSavedAndAFailedSaveIsToldOnceInstead)
{
    ShowWithLayer();
    Command(popup_command_screenshot);
    EXPECT_EQ(log_.take(event_id::command), (std::vector<std::string>{"popup:44:3"}));
    // The flash waits for the host's word that the file is written.
    EXPECT_EQ(api().flash(), 0.0f);
    popup_->CaptureStored(true);
    EXPECT_GT(api().flash(), 1.0f);
    EXPECT_TRUE(pump_until([&] { return api().flash() < 1.0f; }));
    popup_->Hide();
    EXPECT_EQ(api().flash(), 0.0f);
    // No timer but the news poll, which itself stops once its answer has come.
    EXPECT_EQ(popup_->holder().timers.size(), api().news_timer_running() ? 1u : 0u);

    // The host could not write the picture (a file where the capture folder should be).
    event_manager::instance().connect(popup_.get(), popup_.get(), event_id::command,
                                      [this](const event_info&) { popup_->ReportFailedCapture(CaptureFailure::save); });
    ShowWithLayer();
    closed_windows.clear();
    const UINT_PTR closer = SetTimer(nullptr, 0, 50, CloseWarnings);
    Command(popup_command_screenshot);
    KillTimer(nullptr, closer);
    EXPECT_EQ(closed_windows.size(), 1u);
    EXPECT_EQ(api().flash(), 0.0f);
}

// Opened by the script verb while the popup is hidden, the menu is tracked by the foreground window.
TEST_F(PopupWindowTest, TheExportMenuOfAHiddenPopupIsOwnedByTheForegroundWindow)
{
    HWND foreground = nullptr;
    {
        qzsdk::test::menu_driver dismiss({}, [&](HMENU, HWND) { foreground = GetForegroundWindow(); });
        Command(popup_command_export_menu);
        ASSERT_TRUE(dismiss.opened());
    }
    EXPECT_FALSE(IsWindowVisible(popup_->handle()));
    EXPECT_EQ(foreground, popup_->handle());
}

// Dismissed or chosen from, the menu gives the foreground back: keys typed next reach the window the user
// works in, not the hidden popup's search box (whose Enter would apply its first match).
TEST_F(PopupWindowTest, AfterTheExportMenuOfAHiddenPopupTheForegroundGoesBack)
{
    window front;
    front.create("front", {300, 300, 200, 100}, window_style::borderless);
    front.set_visible(true);
    SetForegroundWindow(front.handle());
    ASSERT_TRUE(pump_until([&] { return GetForegroundWindow() == front.handle(); }));
    event_log front_keys;
    front_keys.listen(&front, "front", {event_id::key_down});
    for (const std::vector<WPARAM>& menu_keys : {std::vector<WPARAM>{}, std::vector<WPARAM>{VK_DOWN, VK_RETURN}}) {
        {
            menu_driver driver(menu_keys);
            Command(popup_command_export_menu);
            ASSERT_TRUE(driver.opened());
        }
        EXPECT_EQ(log_.take(event_id::command),
                  menu_keys.empty() ? std::vector<std::string>{} : std::vector<std::string>{"popup:44:0"});
        EXPECT_EQ(GetForegroundWindow(), front.handle());
        front_keys.take();
        send_keys({{'G', true}, {'G', false}, {VK_RETURN, true}, {VK_RETURN, false}});
        std::vector<std::string> heard;
        EXPECT_TRUE(pump_until([&] {
            for (const std::string& line : front_keys.take())
                heard.push_back(line);
            return std::find(heard.begin(), heard.end(), "front:8:13") != heard.end();
        }));
        EXPECT_EQ(api().search_box().get_text(), "");
        EXPECT_TRUE(log_.take(event_id::activated).empty());
        EXPECT_FALSE(popup_->is_visible());
    }
}

TEST_F(PopupWindowTest, HandlerExceptionsGoToTheReporterNotTheMessageLoop)
{
    qzsdk::test::reported_exceptions reported;
    event_manager::instance().connect(popup_.get(), popup_.get(), event_id::activated,
                                      [](const event_info&) { throw std::runtime_error("apply failed"); });
    ShowWithLayer();
    Type(L"glow");
    Key(VK_RETURN);
    EXPECT_EQ(reported.messages, (std::vector<std::string>{"apply failed"}));
}

TEST_F(PopupWindowTest, TheNewsCountArrivesThroughTheTimerAndShowsTheBadge)
{
    qzsdk::test::local_http_server server;
    server.answer_with(200, "3");
    NewsServer local;
    local.host = server.address();
    popup_ = MakePopup(local);
    EXPECT_EQ(Command(popup_command_news_count), -1);
    EXPECT_TRUE(pump_until([&] { return popup_->news_count() != -1; }, 5000));
    EXPECT_EQ(Command(popup_command_news_count), 3);
    EXPECT_TRUE(api().badge().is_visible(false));
    EXPECT_EQ(api().badge().text(), "3");
    EXPECT_FALSE(api().news_timer_running());
}
