#include "popup/effects_message_popup.h"
#include "popup/effects_warning_popup.h"
#include "tests/support/run_soon.h"
#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace qzsdk::ui;
using qzsdk::test::looks_like;
using qzsdk::test::run_soon;
using qzsdk::test::window_snapshot;

namespace {

EffectsTheme test_theme()
{
    EffectsTheme theme;
    theme.message_back_color = {0, 0, 1, 1};
    theme.message_border_color = {1, 0, 0, 1};
    theme.warning_button_color = {0, 1, 0, 1};
    return theme;
}

RECT screen_rect(HWND handle)
{
    RECT r{};
    GetWindowRect(handle, &r);
    return r;
}

class MessagePopupTest : public testing::Test {
protected:
    void SetUp() override
    {
        owner.create("owner", {100, 100, 400, 300}, window_style::borderless);
        ShowWindow(owner.handle(), SW_SHOWNOACTIVATE);
    }
    // Runs the popup modally and does the action from inside its loop.
    int32_t Answer(window& popup, std::function<void()> action)
    {
        run_soon(popup.root(), std::move(action), 30);
        return popup.show_modal();
    }
    static void Click(window& popup, const rect& button)
    {
        const LPARAM at = MAKELPARAM(button.x + 5, button.y + 5);
        SendMessageW(popup.handle(), WM_MOUSEMOVE, 0, at);
        SendMessageW(popup.handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(popup.handle(), WM_LBUTTONUP, 0, at);
    }
    static void Key(window& popup, WPARAM key) { SendMessageW(popup.handle(), WM_KEYDOWN, key, 0); }

    EffectsTheme theme = test_theme();
    std::string text = "Remove every capture?";
    window owner;
};

}  // namespace

TEST_F(MessagePopupTest, QuestionAnswersYesNoEscapeAndEnterOnTheFocusedFirstButton)
{
    EffectsMessagePopup popup(&owner, {0, 0}, &theme, "Delete", text);
    EXPECT_FALSE(IsWindowVisible(popup.handle()));
    EXPECT_EQ(Answer(popup, [&] { Click(popup, popup.yes_button().bounds()); }), 1);
    EXPECT_EQ(Answer(popup, [&] { Click(popup, popup.no_button().bounds()); }), 0);
    EXPECT_EQ(Answer(popup, [&] { Key(popup, VK_ESCAPE); }), 0);
    EXPECT_EQ(Answer(popup, [&] {
                  SendMessageW(popup.handle(), WM_SETFOCUS, 0, 0);
                  EXPECT_EQ(popup.focused_widget(), &popup.yes_button());
                  Key(popup, VK_RETURN);
              }),
              1);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
}

TEST_F(MessagePopupTest, QuestionAtTheOriginIsCentredOnItsOwnerAndPaintsInTheTheme)
{
    EffectsMessagePopup centred(&owner, {0, 0}, &theme, "Delete", text);
    const RECT owner_rect = screen_rect(owner.handle());
    const RECT popup_rect = screen_rect(centred.handle());
    EXPECT_EQ(popup_rect.right - popup_rect.left, 320);
    EXPECT_NEAR((popup_rect.left + popup_rect.right) / 2, (owner_rect.left + owner_rect.right) / 2, 1);
    EXPECT_NEAR((popup_rect.top + popup_rect.bottom) / 2, (owner_rect.top + owner_rect.bottom) / 2, 1);
    window_snapshot shot(centred);
    EXPECT_TRUE(looks_like(shot.pixel(0, 40), {1, 0, 0, 1}));
    EXPECT_TRUE(looks_like(shot.pixel(5, 80), {0, 0, 1, 1}));

    EffectsMessagePopup placed(&owner, {30, 40}, &theme, "Delete", text);
    EXPECT_EQ(screen_rect(placed.handle()).left, 30);
    EXPECT_EQ(screen_rect(placed.handle()).top, 40);
}

TEST_F(MessagePopupTest, WarningGrowsWithItsTextAroundThePointAndAnswersOkOrEscape)
{
    EffectsWarningPopup short_one(&owner, {400, 400}, &theme, "Failed to Save", text);
    std::string long_text;
    for (int i = 0; i < 150; ++i)  // far more than 500 units of lines
        long_text += "Unable to save current settings to disk. ";
    EffectsWarningPopup long_one(&owner, {400, 400}, &theme, "Failed to Save", long_text);
    const RECT small = screen_rect(short_one.handle());
    const RECT tall = screen_rect(long_one.handle());
    EXPECT_EQ(tall.right - tall.left, 320);
    EXPECT_GT(tall.bottom - tall.top, small.bottom - small.top);
    EXPECT_EQ(tall.bottom - tall.top, 550);
    EXPECT_NEAR((tall.top + tall.bottom) / 2, 400, 1);
    EXPECT_EQ((tall.left + tall.right) / 2, 400);
    const rect ok = long_one.ok_button().bounds();
    EXPECT_EQ(ok.y, tall.bottom - tall.top - 30);

    window_snapshot shot(short_one);
    EXPECT_TRUE(looks_like(shot.pixel(short_one.ok_button().bounds().x + 50, short_one.ok_button().bounds().y + 10),
                           {0, 1, 0, 1}));
    EXPECT_EQ(Answer(short_one, [&] { Click(short_one, short_one.ok_button().bounds()); }), 1);
    EXPECT_EQ(Answer(short_one, [&] { Key(short_one, VK_ESCAPE); }), 0);
}

TEST_F(MessagePopupTest, PopupWhoseOpenerWindowDiesEndsItsLoopAndOutlivesItSafely)
{
    auto opener = std::make_unique<window>();
    opener->create("opener", {50, 50, 200, 200}, window_style::borderless);
    EffectsMessagePopup popup(opener.get(), {0, 0}, &theme, "Delete", text);
    EXPECT_EQ(Answer(popup, [&] { opener.reset(); }), 0);
    EXPECT_EQ(popup.owner(), nullptr);
    // Painting after the opener (and the theme it lent) has gone draws nothing and does not crash.
    window_snapshot shot(popup);
    EXPECT_FALSE(popup.is_visible());
}
