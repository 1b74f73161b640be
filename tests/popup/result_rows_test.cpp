#include "popup/effect_slot.h"
#include "popup/effects_popup_interface.h"
#include "popup/effects_scroll_bar.h"
#include "popup/ellipsised_text.h"
#include "popup/effects_shortcuts_bar.h"
#include "popup/header_slot.h"
#include "tests/support/menu_driver.h"
#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qzsdk::ui;
using qzsdk::test::looks_like;
using qzsdk::test::menu_driver;
using qzsdk::test::window_snapshot;

namespace {

const color row_back{0.2f, 0.2f, 0.2f, 1};

// Records what the rows ask of their list's owner; a request may rebuild the list, as the popup's does.
class RecordingOwner : public EffectsPopupInterface {
public:
    void AddToList(const EffectEntry* entry, bool blacklist) override
    {
        calls.push_back((blacklist ? "blacklist " : "favourite ") + entry->name);
        if (on_request)
            on_request();
    }
    void CreateShortcut(const EffectEntry* entry) override { calls.push_back("create " + entry->name); }
    void ReplaceShortcut(const EffectEntry* entry, uint64_t slot) override
    {
        calls.push_back("replace " + std::to_string(slot) + " " + entry->name);
    }
    void SetSelectedSlot(EffectSlot* slot) override { selected.push_back(slot); }

    std::vector<std::string> calls;
    std::vector<EffectSlot*> selected;
    std::function<void()> on_request;
};

std::vector<std::wstring> menu_texts(HMENU menu)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64]{};
        GetMenuStringW(menu, UINT(i), text, 64, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

class ResultRowsTest : public qzsdk::test::window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        row = MakeRow(effect, 0);
    }
    std::unique_ptr<EffectSlot> MakeRow(const EffectEntry& shown, int32_t y)
    {
        auto made = std::make_unique<EffectSlot>(&owner, true);
        made->entry = &shown;
        made->row_text_color = {1, 1, 0, 1};
        made->properties.set_color("default_back_color", row_back);
        made->attach_to_window(&window.root(), {0, y, 300, 30});
        return made;
    }
    // The texts of the row's menu, answered with the keys.
    std::vector<std::wstring> RightClick(std::vector<WPARAM> keys, std::vector<std::wstring>* sub = nullptr)
    {
        std::vector<std::wstring> texts;
        menu_driver driver(std::move(keys), [&](HMENU menu, HWND) {
            texts = menu_texts(menu);
            for (int i = 0; sub && i < GetMenuItemCount(menu); ++i)
                if (HMENU nested = GetSubMenu(menu, i))
                    *sub = menu_texts(nested);
        });
        mouse_at(WM_RBUTTONDOWN, 50, 15);
        mouse_at(WM_RBUTTONUP, 50, 15);
        EXPECT_TRUE(driver.opened());
        return texts;
    }

    EffectEntry effect{7, "Glow", "glow", "Stylize", false};
    EffectEntry preset{-1, "Fade In", "fade in", "Animation Preset", true};
    RecordingOwner owner;
    std::unique_ptr<EffectSlot> row;
};

}  // namespace

TEST_F(ResultRowsTest, ContextMenuOffersWhatTheRowAllows)
{
    EXPECT_EQ(RightClick({}), (std::vector<std::wstring>{L"Glow", L"", L"Add to Favorites", L"Create Shortcut",
                                                          L"Blacklist"}));
    row->came_from_alias = true;
    row->shortcut_labels = {"Blu", "Glo", "Fad", "Aaa", "Bbb", "Ccc", "Ddd", "Eee", "Fff"};
    std::vector<std::wstring> sub;
    EXPECT_EQ(RightClick({}, &sub), (std::vector<std::wstring>{L"Glow", L"", L"Replace Shortcut", L"Blacklist"}));
    ASSERT_EQ(sub.size(), 9u);
    EXPECT_EQ(sub[0], L"1. Blu");
    EXPECT_EQ(sub[8], L"9. Fff");
    EXPECT_TRUE(owner.calls.empty());  // dismissed menus and the right click itself choose nothing
}

TEST_F(ResultRowsTest, MenuChoicesReachTheOwnerAlsoWhenTheyDestroyTheRow)
{
    row->shortcut_labels = {"Blu"};
    RightClick({VK_DOWN, VK_DOWN, VK_RETURN});  // the title is disabled: Down lands on the first live item
    RightClick({VK_UP, VK_RETURN});
    // Replace Shortcut's first entry, through its sub-menu.
    RightClick({VK_UP, VK_UP, VK_RIGHT, VK_RETURN});
    // The owner rebuilds its list inside the choice, destroying the row whose handler is running.
    owner.on_request = [this] { row.reset(); };
    RightClick({VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(row, nullptr);
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"favourite Glow", "blacklist Glow", "replace 0 Glow",
                                                      "favourite Glow"}));
}

TEST_F(ResultRowsTest, HoverSelectsTheRowAndPaintsTheHighlightByKind)
{
    std::unique_ptr<EffectSlot> preset_row = MakeRow(preset, 40);
    move_to(5, 5);
    move_to(50, 15);
    EXPECT_TRUE(row->highlighted());
    ASSERT_FALSE(owner.selected.empty());
    EXPECT_EQ(owner.selected.back(), row.get());
    preset_row->set_highlight(true);
    {
        window_snapshot shot(window);
        EXPECT_TRUE(looks_like(shot.pixel(5, 5), {0.0f, 0.443f, 0.737f, 1}));
        EXPECT_TRUE(looks_like(shot.pixel(5, 45), {0.753f, 0.09f, 0.082f, 1}));
    }
    move_to(50, 55);
    EXPECT_FALSE(row->highlighted());
    EXPECT_EQ(owner.selected.back(), preset_row.get());
    preset_row->set_highlight(false);
    window_snapshot shot(window);
    EXPECT_TRUE(looks_like(shot.pixel(5, 5), row_back));
    EXPECT_TRUE(looks_like(shot.pixel(5, 45), row_back));
}

TEST_F(ResultRowsTest, ARowAndAHeaderRepaintOnlyWhenWhatTheyShowChanges)
{
    show_without_focus();
    HeaderSlot header("Effects", {1, 0, 0, 1});
    header.attach_to_window(&window.root(), {0, 100, 300, 20});
    record_paints(*row);
    record_paints(header);
    paint_now();
    row->show_entry(&effect, true, false);
    row->set_highlight(false);
    header.set_text("Effects", {1, 0, 0, 1});
    EXPECT_TRUE(paint_now().empty());
    EXPECT_TRUE(row->came_from_alias);  // taken although nothing shows it

    row->show_entry(&preset, false, false);
    EXPECT_EQ(paint_now(), std::vector<std::string>{"EffectSlot"});
    EXPECT_EQ(row->entry, &preset);
    row->show_entry(&preset, false, true);
    EXPECT_EQ(paint_now(), std::vector<std::string>{"EffectSlot"});
    EXPECT_TRUE(row->highlighted());
    header.set_text("No Matches", {0, 0, 0, 0});
    EXPECT_EQ(paint_now(), std::vector<std::string>{"HeaderSlot"});
    EXPECT_EQ(header.text(), "No Matches");
}

TEST_F(ResultRowsTest, LongNamesAreCutToOneLineWithAnEllipsis)
{
    renderer& r = *window.renderer();
    r.set_font("Arial", 14.0f, 0, 0);
    EXPECT_EQ(ellipsised_text(r, "Glow", 200), "Glow");
    const std::string name = std::string(120, 'W') + " \xC3\xA9t\xC3\xA9 preset";
    const std::string cut = ellipsised_text(r, name, 200);
    EXPECT_LE(r.measure_text(cut).width, 200u);
    EXPECT_GT(cut.size(), 6u);
    EXPECT_EQ(cut.substr(cut.size() - 3), "\xE2\x80\xA6");
    std::string accents;
    for (int i = 0; i < 100; ++i)
        accents += "\xC3\xA9";
    EXPECT_EQ(ellipsised_text(r, accents, 100).size() % 2, 1u);  // whole two-byte characters and the ellipsis
}

TEST_F(ResultRowsTest, HeaderPaintsItsBackAndAccentDot)
{
    HeaderSlot header("Effects", {1, 0, 0, 1});
    header.properties.set_color("default_back_color", {0, 0, 1, 1});
    header.attach_to_window(&window.root(), {0, 100, 300, 20});
    EXPECT_EQ(header.text(), "Effects");
    window_snapshot shot(window);
    EXPECT_TRUE(looks_like(shot.pixel(5, 105), {0, 0, 1, 1}));
    EXPECT_TRUE(looks_like(shot.pixel(22, 110), {1, 0, 0, 1}));
}

TEST_F(ResultRowsTest, ScrollBarPaintsThumbGripsAndBackInThemeColours)
{
    widget view;
    view.attach_to_window(&window.root(), {0, 60, 200, 100});
    widget content;
    content.attach_to_window(&view, {0, 0, 200, 400});
    EffectsScrollBar bar;
    bar.attach_to_window(&window.root(), {280, 60, 16, 100});
    bar.set_target(&content);
    EffectsTheme theme;
    theme.scroll_thumb_color = {0, 1, 0, 1};
    theme.scroll_grip_color = {1, 0, 0, 1};
    theme.popup_body_color = {0, 0, 1, 1};
    bar.ApplyTheme(&theme);
    const rect thumb = bar.thumb_rect();
    window_snapshot shot(window);
    const int32_t centre = 60 + thumb.y + thumb.height / 2;
    EXPECT_TRUE(looks_like(shot.pixel(281, centre + 1), {0, 1, 0, 1}));
    EXPECT_TRUE(looks_like(shot.pixel(288, centre), {1, 0, 0, 1}));
    EXPECT_TRUE(looks_like(shot.pixel(288, centre + 3), {1, 0, 0, 1}));
    EXPECT_TRUE(looks_like(shot.pixel(281, centre), {0, 1, 0, 1}));  // the grips stay 4 units in
    EXPECT_TRUE(looks_like(shot.pixel(288, 158), {0, 0, 1, 1}));
}

TEST_F(ResultRowsTest, ShortcutsBarNumbersFilledSlotsAndSendsTheirPresses)
{
    std::vector<std::pair<uint64_t, uint64_t>> presses;
    event_object listener;
    EffectsShortcutsBar bar(&listener, [&](const event_info& info) {
        presses.push_back({static_cast<EffectsShorcutButton*>(info.sender)->number(), info.param});
    });
    SetWindowPos(window.handle(), nullptr, 0, 0, 420, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    bar.attach_to_window(&window.root(), {0, 100, 420, 36});
    EffectShortcuts slots;
    slots[0] = {"gLOWING LABEL", &effect};  // from the file: shown cut as a new label, not clipped
    slots[2] = {"Fad", &preset};  // a gap left by the preferences is skipped
    EffectsTheme theme;
    theme.shortcut_text_color = {1, 1, 1, 1};
    bar.Rebuild(slots, &theme);
    ASSERT_EQ(bar.buttons().size(), 2u);
    EXPECT_EQ(bar.buttons()[0]->label(), "gLO");
    EXPECT_EQ(bar.buttons()[1]->label(), "Fad");
    EXPECT_EQ(bar.buttons()[1]->number(), 2u);
    EXPECT_EQ(bar.buttons()[1]->bounds(), (rect{45, 1, 43, 34}));
    mouse_at(WM_LBUTTONDOWN, 60, 110);
    mouse_at(WM_LBUTTONUP, 60, 110);
    EXPECT_EQ(presses, (std::vector<std::pair<uint64_t, uint64_t>>{{2, 0}}));

    for (EffectShortcut& slot : slots)
        slot = {"Glo", &effect};
    bar.properties.set_color("separator_line_color", {1, 0, 0, 1});
    bar.properties.set_color("default_back_color", {0, 0, 1, 1});
    bar.Rebuild(slots, &theme);
    ASSERT_EQ(bar.buttons().size(), 9u);
    EXPECT_EQ(bar.buttons()[8]->bounds().x, 1 + 8 * 44);
    window_snapshot shot(window);
    EXPECT_TRUE(looks_like(shot.pixel(44, 118), {1, 0, 0, 1}));              // after the first button
    EXPECT_TRUE(looks_like(shot.pixel(8 * 44, 118), {1, 0, 0, 1}));          // after the eighth
    EXPECT_TRUE(looks_like(shot.pixel(1 + 8 * 44 + 43, 118), {0, 0, 1, 1}));  // none after the ninth
    bar.Rebuild({}, &theme);
    EXPECT_TRUE(bar.buttons().empty());
}
