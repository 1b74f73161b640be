#include "toolkit/ui/drop_down_box.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/menu_driver.h"
#include "tests/support/window_fixture.h"
#include "tests/toolkit/ui/drop_down_box_test_api.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using qzsdk::test::menu_driver;
using qzsdk::test::client_pixel;
using qzsdk::test::shows_color;
using qzsdk::test::window_test;

namespace {

// One value-change notification: phase, flag, whether param was the bound variable, its value at the time.
struct change {
    uint32_t phase;
    uint32_t flag;
    bool param_is_variable;
    uint32_t variable_then;
    friend bool operator==(const change&, const change&) = default;
};

std::ostream& operator<<(std::ostream& out, const change& c)
{
    return out << "{" << c.phase << "," << c.flag << "," << c.param_is_variable << "," << c.variable_then << "}";
}

class drop_down : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        box = std::make_unique<drop_down_box>();
        box->attach_to_window(&window.root(), rect{10, 10, 120, 22});
        listen(*box);
        box->add_item(0, "Zero");
        box->add_item(1, "One|extra");
        box->add_item(2, "__");
        box->add_item(3, "Three");
    }

    void listen(drop_down_box& target)
    {
        event_manager::instance().connect(&target, &listener, event_id::value_changed, [this](const event_info& info) {
            changes.push_back({info.phase, info.flag, info.param == reinterpret_cast<uint64_t>(&variable), variable});
        });
    }

    std::vector<change> take() { return std::exchange(changes, {}); }
    void key(UINT message, WPARAM code) { send(message, code, 0); }

    event_object listener;
    std::unique_ptr<drop_down_box> box;
    uint32_t variable = 3;
    std::vector<change> changes;
};

}  // namespace

TEST_F(drop_down, FirstItemIsSelectedWithTwoNotificationsAndLaterItemsAreQuiet)
{
    take();
    drop_down_box fresh;
    fresh.attach_to_window(&window.root(), rect{10, 40, 120, 22});
    listen(fresh);
    fresh.add_item(0, "a");
    fresh.add_item(1, "b");
    fresh.add_item(2, "c");
    // Nothing bound yet: the param is null, not the variable.
    EXPECT_EQ(take(), (std::vector<change>{{0, 1, false, 3}, {2, 1, false, 3}}));
    EXPECT_EQ(fresh.get_selected().value, 0);
    EXPECT_EQ(fresh.get_selected().text, "a");
    EXPECT_FALSE(fresh.is_enabled(false));
}

TEST_F(drop_down, BindingSelectsSilentlyAndEnablesAndUnknownValuesChangeNothing)
{
    take();
    EXPECT_FALSE(box->is_enabled(false));
    box->bind_value(&variable);
    EXPECT_TRUE(box->is_enabled(false));
    EXPECT_EQ(drop_down_box_test_api::selected(*box), 3);
    EXPECT_TRUE(take().empty());

    // A value or an index that no item has changes nothing.
    uint32_t unknown = 7;
    box->bind_value(&unknown);
    box->select_index(4, false, 1);
    EXPECT_EQ(drop_down_box_test_api::selected(*box), 3);
    EXPECT_EQ(unknown, 7u);
    EXPECT_TRUE(take().empty());
}

TEST_F(drop_down, ArrowKeysMoveWithFlagOneAndStopAtTheEnds)
{
    box->bind_value(&variable);
    box->select_index(0, true, 1);
    take();
    window.set_focus_widget(box.get(), 0);
    key(WM_KEYDOWN, VK_UP);
    EXPECT_TRUE(take().empty());
    key(WM_KEYDOWN, VK_DOWN);
    // The variable still holds the old value during phase 0 and the new one at phase 2.
    EXPECT_EQ(take(), (std::vector<change>{{0, 1, true, 0}, {2, 1, true, 1}}));
    EXPECT_EQ(variable, 1u);
    key(WM_KEYDOWN, VK_DOWN);
    key(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(variable, 3u);
    take();
    key(WM_KEYDOWN, VK_DOWN);
    EXPECT_TRUE(take().empty());

    box->select_index(-1, true, 1);
    key(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(drop_down_box_test_api::selected(*box), 0);
    EXPECT_EQ(variable, 0u);
}

TEST_F(drop_down, DisabledBoxIgnoresClicksKeysAndHoverEnabledOneOpensOnSpace)
{
    take();
    window.set_focus_widget(box.get(), 0);
    menu_driver driver({});
    mouse(WM_LBUTTONDOWN, 20, 20);
    key(WM_KEYDOWN, VK_DOWN);
    key(WM_KEYUP, VK_SPACE);
    move_to(20, 20);
    move_to(21, 20);
    EXPECT_FALSE(driver.opened());
    EXPECT_FALSE(drop_down_box_test_api::hovered(*box));
    EXPECT_EQ(drop_down_box_test_api::selected(*box), 0);
    EXPECT_TRUE(take().empty());

    box->bind_value(&variable);
    move_to(200, 150);
    move_to(20, 20);
    EXPECT_TRUE(drop_down_box_test_api::hovered(*box));
    move_to(200, 150);
    EXPECT_FALSE(drop_down_box_test_api::hovered(*box));
    // Enabled, Space opens the list; dismissing it changes nothing.
    menu_driver space_driver({});
    key(WM_KEYUP, VK_SPACE);
    EXPECT_TRUE(space_driver.opened());
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(variable, 3u);
}

TEST_F(drop_down, ClickListsTheItemsUnderTheBoxAndAPickFiresFlagZero)
{
    box->bind_value(&variable);
    box->select_index(0, true, 1);
    take();
    std::vector<std::wstring> texts;
    std::vector<UINT> states;
    RECT list{};
    menu_driver driver({VK_DOWN, VK_DOWN, VK_RETURN}, [&](HMENU menu, HWND menu_window) {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64]{};
            GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            texts.push_back(text);
            states.push_back(GetMenuState(menu, i, MF_BYPOSITION));
        }
        GetWindowRect(menu_window, &list);
    });
    mouse(WM_LBUTTONDOWN, 20, 20);
    ASSERT_TRUE(driver.opened());
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Zero", L"Oneextra", L"", L"Three"}));
    EXPECT_NE(states[0] & MF_CHECKED, 0u);
    EXPECT_NE(states[2] & MF_SEPARATOR, 0u);
    POINT corner{10, 32};
    ClientToScreen(window.handle(), &corner);
    EXPECT_TRUE(list.left == corner.x && list.top == corner.y);

    EXPECT_EQ(take(), (std::vector<change>{{0, 0, true, 0}, {2, 0, true, 1}}));
    EXPECT_EQ(box->get_selected().text, "One|extra");
}

TEST_F(drop_down, BoxDestroyedWhileItsListIsOpenIsNotTouchedAfterwards)
{
    box->bind_value(&variable);
    take();
    menu_driver driver({VK_DOWN, VK_RETURN}, [&](HMENU, HWND) { box.reset(); });
    mouse(WM_LBUTTONDOWN, 20, 20);
    EXPECT_TRUE(driver.opened());
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(variable, 3u);
}

TEST_F(drop_down, ListMenuIsDestroyedWhenAHandlerOfThePickThrows)
{
    qzsdk::test::reported_exceptions reported;
    box->bind_value(&variable);
    event_manager::instance().connect(box.get(), &listener, event_id::value_changed, [](const event_info& info) {
        if (info.phase == 2)
            throw std::runtime_error("pick refused");
    });
    HMENU seen = nullptr;
    menu_driver driver({VK_DOWN, VK_RETURN}, [&](HMENU menu, HWND) { seen = menu; });
    mouse(WM_LBUTTONDOWN, 20, 20);
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(IsMenu(seen));
    EXPECT_EQ(reported.messages, (std::vector<std::string>{"pick refused"}));
    EXPECT_EQ(variable, 0u);
}

TEST_F(drop_down, WindowDestroyedWhileTheListIsOpenEndsTheListQuietly)
{
    auto owner = std::make_unique<qzsdk::ui::window>();
    owner->create("owner", rect{20, 20, 200, 100}, window_style::borderless);
    drop_down_box orphan;
    orphan.attach_to_window(&owner->root(), rect{0, 0, 100, 20});
    listen(orphan);
    orphan.add_item(0, "a");
    orphan.add_item(1, "b");
    orphan.bind_value(&variable);
    take();
    {
        menu_driver driver({VK_DOWN, VK_DOWN, VK_RETURN}, [&](HMENU, HWND) { owner.reset(); });
        orphan.show_list();
        EXPECT_TRUE(driver.opened());
    }
    EXPECT_EQ(orphan.owner_window(), nullptr);
    // The list ended with its window: no choice was made.
    EXPECT_EQ(variable, 3u);
    EXPECT_TRUE(take().empty());
    // A box without a window has nowhere to open its list.
    menu_driver driver({});
    orphan.show_list();
    EXPECT_FALSE(driver.opened());
}

TEST_F(drop_down, HandlerDestroyingTheBoxBeforeTheWriteStopsTheChange)
{
    box->bind_value(&variable);
    event_manager::instance().connect(box.get(), &listener, event_id::value_changed, [this](const event_info& info) {
        if (info.phase == 0)
            box.reset();
    });
    take();
    window.set_focus_widget(box.get(), 0);
    key(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(take(), (std::vector<change>{{0, 1, true, 3}}));
    EXPECT_EQ(variable, 3u);
}

TEST_F(drop_down, UnbindingLeavesAVariableThatDiesFirstAlone)
{
    auto short_lived = std::make_unique<uint32_t>(1);
    box->bind_value(short_lived.get());
    box->bind_value(nullptr);
    short_lived.reset();
    EXPECT_FALSE(box->is_enabled(false));
    box->select_index(0, false, 1);
    EXPECT_EQ(drop_down_box_test_api::selected(*box), 0);
}
