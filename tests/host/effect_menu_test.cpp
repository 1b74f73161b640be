#include "host/effect_menu.h"

#include <gtest/gtest.h>

namespace {

// A window whose fifth menu is "Effect", with categories as the host builds them.
class EffectMenuTest : public testing::Test {
protected:
    EffectMenuTest()
    {
        HMENU bar = CreateMenu();
        for (const wchar_t* title : {L"File", L"Edit", L"Composition", L"Layer"})
            AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), title);
        HMENU effects = CreatePopupMenu();
        add_category(effects, L"Blur && Sharpen", 0, {{L"Fill && Stroke", 0}, {L"Greyed One", MF_GRAYED}});
        add_category(effects, L"Disabled", MF_GRAYED, {{L"Inside", 0}});
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(effects), L"Effect");
        window_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, bar, nullptr,
                                  nullptr);
    }
    ~EffectMenuTest() override { DestroyWindow(window_); }

    static void add_category(HMENU effects, const wchar_t* name, UINT flags,
                             std::initializer_list<std::pair<const wchar_t*, UINT>> items)
    {
        HMENU category = CreatePopupMenu();
        for (auto [item, item_flags] : items)
            AppendMenuW(category, MF_STRING | item_flags, next_id_++, item);
        AppendMenuW(effects, MF_POPUP | flags, reinterpret_cast<UINT_PTR>(category), name);
    }

    HWND window_ = nullptr;
    static inline UINT next_id_ = 500;
};

}  // namespace

TEST_F(EffectMenuTest, FindsEnabledItemsByExactTextWithAmpersandsDoubled)
{
    EXPECT_EQ(EscapeMenuAmpersands(L"A & B && C"), L"A && B &&&& C");
    EXPECT_EQ(FindMenuItem(nullptr, L"File"), -1);
    EXPECT_EQ(FindMenuItem(GetMenu(window_), L"Effect"), 4);
    EXPECT_EQ(FindMenuItem(GetMenu(window_), L"effect"), -1);

    auto command = FindEffectCommand(window_, "Blur & Sharpen", "Fill & Stroke");
    ASSERT_TRUE(command);
    EXPECT_GE(*command, 500u);
    EXPECT_FALSE(FindEffectCommand(window_, "Blur & Sharpen", "Greyed One"));
    EXPECT_FALSE(FindEffectCommand(window_, "Disabled", "Inside"));
    EXPECT_FALSE(FindEffectCommand(window_, "Blur & Sharpen", "fill & stroke"));
    EXPECT_FALSE(FindEffectCommand(nullptr, "Blur & Sharpen", "Fill & Stroke"));
}
