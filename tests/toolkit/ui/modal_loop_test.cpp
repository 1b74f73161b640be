#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "tests/support/run_soon.h"
#include "tests/support/window_fixture.h"

using namespace qzsdk::ui;
using qzsdk::test::pump_messages;
using qzsdk::test::reported_exceptions;

namespace {

class user_message_window : public window {
public:
    std::vector<uint32_t> received;
    void on_user_message(uint32_t value) override { received.push_back(value); }
};

void soon(widget& on, std::function<void()> action)
{
    qzsdk::test::run_soon(on, std::move(action));
}

class modal : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner.create("owner", rect{0, 0, 200, 200}, window_style::borderless);
        ShowWindow(owner.handle(), SW_SHOWNOACTIVATE);
        dialog.set_owner(&owner);
        dialog.create("dialog", rect{20, 20, 100, 100}, window_style::borderless);
        other.create("other", rect{250, 0, 50, 50}, window_style::borderless);
    }

    window owner;
    window dialog;
    user_message_window other;
};

}  // namespace

TEST_F(modal, EndModalReturnsTheResultAndReenablesTheOwner)
{
    qzsdk::test::event_log log;
    log.listen(&dialog, "d", {event_id::shown, event_id::hidden});
    soon(dialog.root(), [&] {
        EXPECT_FALSE(IsWindowEnabled(owner.handle()));
        dialog.end_modal(1);
    });
    EXPECT_EQ(dialog.show_modal(), 1);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
    EXPECT_FALSE(IsWindowVisible(dialog.handle()));
    EXPECT_EQ(log.take(), (std::vector<std::string>{"d:35:0", "d:36:0", "d:36:0"}));
}

TEST_F(modal, NestedModalsEndInnerFirstAndTheOuterKeepsRunning)
{
    window inner;
    inner.set_owner(&dialog);
    inner.create("inner", rect{30, 30, 50, 50}, window_style::borderless);
    int inner_result = -1;
    soon(dialog.root(), [&] {
        soon(inner.root(), [&] { inner.end_modal(2); });
        inner_result = inner.show_modal();
        // The inner loop gave the dialog back; the dialog's owner stays disabled.
        EXPECT_TRUE(IsWindowEnabled(dialog.handle()));
        EXPECT_FALSE(IsWindowEnabled(owner.handle()));
        soon(dialog.root(), [&] { dialog.end_modal(1); });
    });
    EXPECT_EQ(dialog.show_modal(), 1);
    EXPECT_EQ(inner_result, 2);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
}

TEST_F(modal, MessagePostedToAnotherWindowAsTheLoopEndsIsDelivered)
{
    soon(dialog.root(), [&] {
        PostMessageW(other.handle(), WM_USER, 0, 42);
        dialog.end_modal(1);
    });
    EXPECT_EQ(dialog.show_modal(), 1);
    pump_messages();
    EXPECT_EQ(other.received, (std::vector<uint32_t>{42}));
}

TEST_F(modal, QuitMessageEndsTheLoopAndIsPostedAgain)
{
    soon(dialog.root(), [] { PostQuitMessage(3); });
    EXPECT_EQ(dialog.show_modal(), 0);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
}

TEST_F(modal, OwnerDisabledBeforehandStaysDisabled)
{
    EnableWindow(owner.handle(), FALSE);
    soon(dialog.root(), [&] { dialog.end_modal(1); });
    dialog.show_modal();
    EXPECT_FALSE(IsWindowEnabled(owner.handle()));
    EnableWindow(owner.handle(), TRUE);
}

TEST_F(modal, CloseRequestEndsTheLoopWithoutChangingTheResult)
{
    soon(dialog.root(), [&] { SendMessageW(dialog.handle(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(dialog.show_modal(), 0);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
    EXPECT_TRUE(IsWindow(dialog.handle()));
}

TEST_F(modal, ThrowingHandlerInsideTheLoopIsReportedAndTheLoopGoesOn)
{
    reported_exceptions reported;
    event_manager::instance().connect(&dialog, &dialog, event_id::mouse_down,
                                      [](const event_info&) { throw std::runtime_error("click failed"); });
    soon(dialog.root(), [&] {
        SendMessageW(dialog.handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
        soon(dialog.root(), [&] { dialog.end_modal(4); });
    });
    EXPECT_EQ(dialog.show_modal(), 4);
    EXPECT_EQ(reported.messages, (std::vector<std::string>{"click failed"}));
}

TEST_F(modal, ShowModalRestoresTheOwnerWhenItThrows)
{
    reported_exceptions reported;
    event_manager::instance().connect(&dialog, &dialog, event_id::hidden,
                                      [](const event_info&) { throw std::runtime_error("hidden failed"); });
    soon(dialog.root(), [&] { dialog.end_modal(1); });
    EXPECT_THROW(dialog.show_modal(), std::runtime_error);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
    EXPECT_FALSE(dialog.holder().running);
}

TEST_F(modal, WindowDestroyedByItsOwnHandlerEndsItsLoop)
{
    auto doomed = std::make_unique<window>();
    doomed->set_owner(&owner);
    doomed->create("doomed", rect{0, 0, 50, 50}, window_style::borderless);
    soon(doomed->root(), [&] { doomed.reset(); });
    window* raw = doomed.get();
    EXPECT_EQ(raw->show_modal(), 0);
    EXPECT_EQ(doomed, nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
}

namespace {
class ends_on_user_message : public window {
public:
    void on_user_message(uint32_t value) override { end_modal(static_cast<int32_t>(value)); }
};
}  // namespace

TEST_F(modal, MessageAlreadyQueuedWhenTheLoopStartsIsHandled)
{
    ends_on_user_message quick;
    quick.set_owner(&owner);
    quick.create("quick", rect{0, 0, 50, 50}, window_style::borderless);
    PostMessageW(quick.handle(), WM_USER, 0, 5);
    MSG seen;
    PeekMessageW(&seen, nullptr, 0, 0, PM_NOREMOVE);  // the opener's loop has looked at the queue
    EXPECT_EQ(quick.show_modal(), 5);
}

TEST_F(modal, AnOwnerHiddenMeanwhileIsNotGivenTheFocus)
{
    soon(dialog.root(), [&] {
        ShowWindow(owner.handle(), SW_HIDE);
        dialog.end_modal(1);
    });
    dialog.show_modal();
    EXPECT_NE(GetFocus(), owner.handle());
}
