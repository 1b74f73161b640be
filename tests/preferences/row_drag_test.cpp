// A favourites row dragged in the preferences window with real input: what the screen shows while the button
// is held, and who keeps the focus, the activation and the capture.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <functional>

#include "standin/screenshot.h"
#include "tests/preferences/preferences_window_fixture.h"
#include "tests/preferences/preferences_window_test_api.h"
#include "tests/support/modal_script.h"
#include "tests/support/real_mouse.h"
#include "toolkit/ui/color.h"

namespace {

// The favourites' rows start at 510, 62 in the window, 462 wide (their scroll bar beside them), 30 high; the
// first is pressed and held 60 units lower, in the lower half of the third row.
constexpr int favourite_x = 560, first_row_y = 77, moved_by = 60;
// Once the screen shows the wanted picture it shows it at the next look; this is only how long a test that
// fails goes on looking.
constexpr ULONGLONG look_limit_ms = 5000;

struct Rgb {
    int r, g, b;
};

// The ghost's face and the opacity it is drawn with.
constexpr qzsdk::ui::color ghost_face{0.224f, 0.416f, 0.894f, 1.0f};
constexpr int ghost_alpha = 127;

bool close_to(const BYTE* bgra, Rgb expected)
{
    return std::abs(bgra[2] - expected.r) <= 2 && std::abs(bgra[1] - expected.g) <= 2 &&
           std::abs(bgra[0] - expected.b) <= 2;
}

const BYTE* pixel(const standin::ScreenPixels& screen, LONG x, LONG y)
{
    return screen.bgra.data() + (size_t(y) * screen.width + x) * 4;
}

// The ghost's placings while the marker shows, each looked at as it happens on this thread: the two must never
// swap places, which would show the ghost over the marker until the marker is painted again.
class placing_watch {
public:
    placing_watch(HWND ghost, HWND marker) : ghost_(ghost), marker_(marker)
    {
        current = this;
        hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &placed, nullptr, GetCurrentThreadId());
    }
    ~placing_watch()
    {
        UnhookWindowsHookEx(hook_);
        current = nullptr;
    }
    int placings = 0;
    int swaps = 0;

private:
    static LRESULT CALLBACK placed(int code, WPARAM wparam, LPARAM lparam)
    {
        const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
        placing_watch* self = current;
        if (code == HC_ACTION && self && IsWindowVisible(self->marker_) && IsWindowVisible(self->ghost_)) {
            if (sent->message == WM_WINDOWPOSCHANGING && sent->hwnd == self->ghost_)
                ++self->placings;
            if (sent->message == WM_WINDOWPOSCHANGED && (sent->hwnd == self->ghost_ || sent->hwnd == self->marker_) &&
                GetWindow(self->marker_, GW_HWNDNEXT) != self->ghost_)
                ++self->swaps;
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    static inline placing_watch* current = nullptr;
    HWND ghost_;
    HWND marker_;
    HHOOK hook_;
};

// What was true while the button was held.
struct Midway {
    bool seen = false;
    HWND at_marker = nullptr;
    HWND foreground = nullptr, active = nullptr, focus = nullptr, capture = nullptr;
};

class row_drag : public preferences_window_fixture {
protected:
    row_drag()
        : preferences_window_fixture({{1, "Glow", "glow", "Stylize", false},
                                      {2, "Gaussian Blur", "gaussian blur", "Blur", false},
                                      {3, "Fractal Noise", "fractal noise", "Noise", false}})
    {
        for (const EffectEntry& effect : popup_->entries())
            lists_.aliases.push_back({effect.match_name, &effect, nullptr});
        make_window();
    }

    // Shows the preferences, presses on the first favourite, moves down with the button held until `seen`
    // holds of the screen (or the look limit passes), notes what is true then, and releases.
    Midway drag_first_favourite(const std::function<bool(const standin::ScreenPixels&)>& seen)
    {
        Midway midway;
        POINT press{favourite_x, first_row_y};
        ClientToScreen(window_->handle(), &press);
        ULONGLONG moved_at = 0;
        auto shows = [&] { return seen(standin::grab_screen()); };
        qzsdk::test::modal_steps steps({
            {[] { return true; },
             [&] {
                 qzsdk::test::real_mouse_press(press);
                 qzsdk::test::real_mouse_move(POINT{press.x, press.y + moved_by / 2});
                 qzsdk::test::real_mouse_move(POINT{press.x, press.y + moved_by});
                 moved_at = GetTickCount64();
             }},
            {[&] { return shows() || GetTickCount64() - moved_at > look_limit_ms; },
             [&] {
                 midway.seen = shows();
                 RECT marker{};
                 GetWindowRect(panel().marker().handle(), &marker);
                 POINT centre{(marker.left + marker.right) / 2, (marker.top + marker.bottom) / 2};
                 midway.at_marker = WindowFromPoint(centre);
                 midway.foreground = GetForegroundWindow();
                 midway.active = GetActiveWindow();
                 midway.focus = GetFocus();
                 midway.capture = GetCapture();
                 qzsdk::test::real_mouse_release();
             }},
            {[] { return true; }, [this] { window_->end_modal(0); }},
        });
        window_->show_modal();
        return midway;
    }

    PreferencesEffectsScrollPanel& panel() { return PreferencesWindowTestApi(*window_).favourites_panel(); }

    void expect_the_preferences_keep_the_input(const Midway& midway)
    {
        EXPECT_EQ(midway.foreground, window_->handle());
        EXPECT_EQ(midway.active, window_->handle());
        EXPECT_EQ(midway.focus, window_->handle());
        EXPECT_EQ(midway.capture, window_->handle());
        // The drop went through: the first favourite is now the last.
        ASSERT_EQ(lists_.aliases.size(), 3u);
        EXPECT_EQ(lists_.aliases[2].text, "glow");
    }
};

}  // namespace

TEST_F(row_drag, TheDropMarkerIsSeenAboveThePreferencesWhereTheRowWouldLand)
{
    RECT marker{};
    placing_watch watch(panel().drag_window().handle(), panel().marker().handle());
    // Some ticks of the drag go by while it is looked at.
    constexpr int ghost_placings = 4;
    Midway midway = drag_first_favourite([&](const standin::ScreenPixels& screen) {
        GetWindowRect(panel().marker().handle(), &marker);
        if (IsRectEmpty(&marker) || watch.placings < ghost_placings)
            return false;
        for (LONG y = marker.top; y < marker.bottom; ++y)
            for (LONG x = marker.left; x < marker.right; ++x)
                if (!close_to(pixel(screen, x, y), Rgb{180, 50, 35}))
                    return false;
        return true;
    });
    EXPECT_TRUE(midway.seen) << "the marker's colour is not on the screen in its rectangle " << marker.left << ","
                             << marker.top << " - " << marker.right << "," << marker.bottom;
    EXPECT_EQ(midway.at_marker, panel().marker().handle());
    EXPECT_GE(watch.placings, ghost_placings);
    EXPECT_EQ(watch.swaps, 0) << "the ghost came in front of the marker";
    // Below the third row, the whole width of the list.
    POINT edge{510, 62 + 3 * 30 - 2};
    ClientToScreen(window_->handle(), &edge);
    EXPECT_EQ(marker.left, edge.x);
    EXPECT_EQ(marker.top, edge.y);
    EXPECT_EQ(marker.right - marker.left, 462);
    expect_the_preferences_keep_the_input(midway);
}

TEST_F(row_drag, TheGhostIsSeenOverTheListAtHalfOpacity)
{
    // Away from its text and grid lines the ghost lies over the third row's plain face. A display that composes
    // windows with their opacity shows the two blended; an X server without a compositing manager (Wine hands
    // a window's opacity to one) shows the ghost's face itself.
    const qzsdk::ui::color row = popup_->themes()[0].prefs_row_color;
    auto composed = [&](int alpha) {
        auto channel = [alpha](float face, float back) {
            return (int(face * 255 + 0.5f) * alpha + int(back * 255 + 0.5f) * (255 - alpha) + 127) / 255;
        };
        return Rgb{channel(ghost_face.r, row.r), channel(ghost_face.g, row.g), channel(ghost_face.b, row.b)};
    };
    const Rgb blended = composed(ghost_alpha), face = composed(255);
    RECT ghost{};
    Rgb found{};
    Midway midway = drag_first_favourite([&](const standin::ScreenPixels& screen) {
        GetWindowRect(panel().drag_window().handle(), &ghost);
        if (IsRectEmpty(&ghost))
            return false;
        for (LONG y = ghost.top + 6; y < ghost.bottom - 6; ++y)
            for (LONG x = ghost.left + 100; x < ghost.right - 260; ++x)
                if (const BYTE* at = pixel(screen, x, y); !close_to(at, blended) && !close_to(at, face)) {
                    found = Rgb{at[2], at[1], at[0]};
                    return false;
                }
        return true;
    });
    EXPECT_TRUE(midway.seen) << "the ghost's rectangle shows " << found.r << "," << found.g << "," << found.b
                             << ", not the ghost over the list";
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(panel().drag_window().handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, ghost_alpha);
    EXPECT_EQ(flags & LWA_ALPHA, DWORD(LWA_ALPHA));
    expect_the_preferences_keep_the_input(midway);
}
