#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "popup/effects_theme.h"
#include "preferences/preferences_effects_scroll_panel.h"
#include "preferences/preferences_list_events.h"
#include "preferences/preferences_record_list.h"
#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"
#include "toolkit/ui/event_id.h"

using namespace qzsdk::ui;

namespace {

class recording_sink : public PreferencesListEvents {
public:
    bool OnListEvent(const event_info& info) override
    {
        heard.push_back(info);
        return reply ? reply(info) : false;
    }
    std::vector<event_info> heard;
    std::function<bool(const event_info&)> reply;
};

class effects_scroll_panel : public qzsdk::test::window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        SetWindowPos(window.handle(), nullptr, 0, 0, 400, 320, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        show_without_focus();
        for (int i = 0; i < 6; ++i)
            catalogue.push_back(EffectEntry{i, "Effect " + std::to_string(i), "effect " + std::to_string(i), "", false});
    }

    void TearDown() override
    {
        panel.reset();
        window_test::TearDown();
    }

    void make_shortcuts_panel(int filled)
    {
        for (int i = 0; i < filled; ++i)
            shortcuts[i] = EffectShortcut{"L" + std::to_string(i), &catalogue[i]};
        list = std::make_unique<ShortcutRecordList>(&shortcuts);
        panel = std::make_unique<PreferencesEffectsScrollPanel>(&sink, list.get(), false, &themes[0]);
        panel->show_label_column = true;
        panel->show_number_column = true;
        panel->show_scroll_bar = false;
        panel->attach_to_window(&window.root(), rect{0, 0, 400, 300});
    }

    void make_favorites_panel(int count)
    {
        for (int i = 0; i < count; ++i)
            favorites.push_back(EffectAlias{catalogue[i].match_name, &catalogue[i], nullptr});
        list = std::make_unique<AliasRecordList>(&favorites);
        panel = std::make_unique<PreferencesEffectsScrollPanel>(&sink, list.get(), true, &themes[0]);
        panel->show_label_column = true;
        panel->show_override_column = true;
        panel->attach_to_window(&window.root(), rect{0, 0, 400, 300});
    }

    // A press, moves with the real cursor, and a release at the last point.
    void drag(int x, int y, std::vector<POINT> path)
    {
        mouse_at(WM_LBUTTONDOWN, x, y);
        for (POINT p : path)
            mouse_at(WM_MOUSEMOVE, p.x, p.y);
        POINT end = path.empty() ? POINT{x, y} : path.back();
        mouse_at(WM_LBUTTONUP, end.x, end.y);
    }

    // The keys of the records' effects in list order; -1 for none.
    template <class Records>
    static std::vector<int> keys(const Records& records)
    {
        std::vector<int> found;
        for (const auto& record : records)
            found.push_back(record.target ? record.target->key : -1);
        return found;
    }

    std::vector<EffectsTheme> themes = build_effects_themes();
    std::vector<EffectEntry> catalogue;
    EffectShortcuts shortcuts;
    std::vector<EffectAlias> favorites;
    recording_sink sink;
    std::unique_ptr<PreferencesRecordList> list;
    std::unique_ptr<PreferencesEffectsScrollPanel> panel;
};

}  // namespace

TEST_F(effects_scroll_panel, ShortcutsShowNineRowsAndAFilledSlotDraggedAmongEmptyOnesLandsAfterTheLast)
{
    make_shortcuts_panel(3);
    ASSERT_EQ(panel->rows().size(), 9u);
    EXPECT_EQ(panel->new_row(), nullptr);
    EXPECT_FALSE(panel->scroll_bar().is_visible(false));

    drag(100, 15, {{100, 30}, {100, 120}, {100, 225}});
    EXPECT_EQ(keys(shortcuts), (std::vector<int>{1, 2, 0, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(shortcuts[2].label, "L0");
    EXPECT_FALSE(panel->drag_window().is_visible());
    EXPECT_FALSE(panel->marker().is_visible());
    EXPECT_EQ(captured_widget(), nullptr);
    ASSERT_EQ(panel->rows().size(), 9u);
    EXPECT_EQ(panel->rows()[2]->index(), 2u);
    EXPECT_TRUE(sink.heard.empty());
    // Neither helper window of the drag gets a taskbar button.
    for (HWND helper : {panel->drag_window().handle(), panel->marker().handle()})
        EXPECT_TRUE(GetWindowLongPtrW(helper, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    // Empty slots cannot be dragged.
    drag(100, 255, {{100, 240}, {100, 15}});
    EXPECT_EQ(keys(shortcuts), (std::vector<int>{1, 2, 0, -1, -1, -1, -1, -1, -1}));
}

TEST_F(effects_scroll_panel, SmallMovementIsAClickAndDropsOntoTheOwnPlaceChangeNothing)
{
    make_favorites_panel(4);
    drag(40, 45, {{45, 50}});
    ASSERT_EQ(sink.heard.size(), 1u);
    EXPECT_EQ(sink.heard[0].id, event_id::mouse_up);
    EXPECT_EQ(sink.heard[0].param, 0u);
    EXPECT_EQ(sink.heard[0].sender, panel->rows()[1].get());

    // The row buttons start at x 96, so the rows are held further left.
    // The upper half of the row below the dragged one is the dragged row's own place.
    drag(40, 45, {{40, 60}, {40, 65}});
    EXPECT_EQ(keys(favorites), (std::vector<int>{0, 1, 2, 3}));
    // The upper half of the add row: the end of the list; its lower half, then beyond: clamped to the end.
    drag(40, 15, {{40, 40}, {40, 125}});
    EXPECT_EQ(keys(favorites), (std::vector<int>{1, 2, 3, 0}));
    drag(40, 15, {{40, 40}, {40, 140}, {40, 290}});
    EXPECT_EQ(keys(favorites), (std::vector<int>{2, 3, 0, 1}));
    EXPECT_EQ(sink.heard.size(), 1u);
}

TEST_F(effects_scroll_panel, RebuildOrLostCaptureDuringADragEndsItWithoutADrop)
{
    make_favorites_panel(4);
    for (bool rebuild : {true, false}) {
        mouse_at(WM_LBUTTONDOWN, 40, 15);
        mouse_at(WM_MOUSEMOVE, 40, 40);
        mouse_at(WM_MOUSEMOVE, 40, 80);
        EXPECT_TRUE(panel->drag_window().is_visible());
        if (rebuild) {
            // An import replaces the list under the drag.
            favorites.erase(favorites.begin());
            panel->Rebuild();
        } else {
            // A menu or Alt+Tab cancels the mode; the next tick of the drag notices.
            send(WM_CANCELMODE);
            EXPECT_TRUE(qzsdk::test::pump_until([&] { return !panel->drag_window().is_visible(); }));
        }
        EXPECT_FALSE(panel->drag_window().is_visible());
        EXPECT_FALSE(panel->marker().is_visible());
        EXPECT_EQ(captured_widget(), nullptr);
        mouse_at(WM_MOUSEMOVE, 40, 70);
        mouse_at(WM_LBUTTONUP, 40, 70);
        qzsdk::test::pump_messages();
        EXPECT_EQ(keys(favorites), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(panel->rows().size(), 3u);
    }
}

TEST_F(effects_scroll_panel, RowButtonsSendCommandsAndRemovalRebuildsFromInsideTheHandler)
{
    make_favorites_panel(3);
    favorites[1].text = "gb";
    favorites[1].override_target = &catalogue[4];
    panel->Rebuild();
    PreferencesEffectSlot* row = panel->rows()[1].get();
    EXPECT_TRUE(row->remove_button.is_visible(false));
    EXPECT_TRUE(row->clear_label_button.is_visible(false));
    EXPECT_TRUE(row->clear_override_button.is_visible(false));
    EXPECT_FALSE(panel->rows()[0]->clear_label_button.is_visible(false));
    // Favourites buttons sit at w - 286, w - 184 and w - 32 of the 382-wide rows.
    EXPECT_EQ(row->remove_button.bounds().x, 382 - 286);
    EXPECT_EQ(row->clear_label_button.bounds().x, 382 - 184);
    EXPECT_EQ(row->clear_override_button.bounds().x, 382 - 32);

    sink.reply = [this](const event_info& info) {
        if (info.id != event_id::command || info.param != 1)
            return false;
        panel->RemoveRow(static_cast<PreferencesEffectSlot*>(info.sender));
        return true;
    };
    int x = 382 - 286 + 15;
    mouse_at(WM_MOUSEMOVE, x, 45);
    mouse_at(WM_LBUTTONDOWN, x, 45);
    mouse_at(WM_LBUTTONUP, x, 45);
    qzsdk::test::pump_messages();
    ASSERT_EQ(sink.heard.size(), 1u);
    EXPECT_EQ(sink.heard[0].id, event_id::command);
    EXPECT_EQ(keys(favorites), (std::vector<int>{0, 2}));
    EXPECT_EQ(panel->rows().size(), 2u);

    // A row that is not the panel's is ignored.
    PreferencesEffectSlot stranger(&themes[0], panel.get(), &sink, list.get(), 0, {});
    panel->RemoveRow(&stranger);
    EXPECT_EQ(keys(favorites), (std::vector<int>{0, 2}));
}

TEST_F(effects_scroll_panel, LongNamesStayOnOneLineAndALabelEqualToTheMatchNameIsNotShown)
{
    catalogue[0].name = "Effect With A Name Far Too Long For Its Column";
    make_shortcuts_panel(2);
    shortcuts[1].label = catalogue[1].match_name;
    panel->Rebuild();
    qzsdk::test::window_snapshot shot(window);
    const color row = themes[0].prefs_row_color;
    // One line, vertically centred: the bands above and below it stay empty.
    int marked = 0;
    for (int x = 36; x < 230; x += 2)
        for (int y : {2, 4, 26, 28})
            marked += !qzsdk::test::looks_like(shot.pixel(x, y), row);
    EXPECT_EQ(marked, 0);
    auto label_drawn = [&](int y) {
        for (int x = 306; x < 370; ++x)
            if (!qzsdk::test::looks_like(shot.pixel(x, y), row))
                return true;
        return false;
    };
    EXPECT_TRUE(label_drawn(15)) << "a label of its own";
    EXPECT_FALSE(label_drawn(45)) << "a label equal to the match name";
}

TEST_F(effects_scroll_panel, ALongNameRunsUpToItsColumnEdgeWithoutAnEllipsis)
{
    // Wide letters fill every pixel column of the name with strokes above the baseline, where an ellipsis
    // has nothing but its dots.
    catalogue[0].name = std::string(40, 'W');
    make_shortcuts_panel(1);
    qzsdk::test::window_snapshot shot(window);
    const color row = themes[0].prefs_row_color;
    auto inked = [&](int x, int y_from, int y_to) {
        for (int y = y_from; y < y_to; ++y)
            if (!qzsdk::test::looks_like(shot.pixel(x, y), row))
                return true;
        return false;
    };
    // A 400-wide shortcuts row: the name column starts at 35 and is 400 - 167 wide; the remove button's clear
    // margin lies beyond its edge.
    const int edge = 35 + 233;
    for (int x = edge - 8; x < edge; ++x)
        EXPECT_TRUE(inked(x, 8, 16)) << "no letter above the baseline at x " << x;
    for (int x = edge; x < edge + 3; ++x)
        EXPECT_FALSE(inked(x, 0, 30)) << "drawn past the column edge at x " << x;
}

TEST_F(effects_scroll_panel, ScrollBarWearsTheThemeAndShowsNoThumbWithNothingToScroll)
{
    using qzsdk::test::looks_like;
    const EffectsTheme& light = themes[1];
    make_favorites_panel(0);
    panel->ApplyTheme(&light);
    {
        qzsdk::test::window_snapshot shot(window);
        for (int y = 2; y < 300; y += 25)
            EXPECT_TRUE(looks_like(shot.pixel(390, y), light.prefs_scroll_back_color)) << "y " << y;
    }

    // Twenty rows in a 300-unit view: a thumb at the top in the popup's thumb colour, the track below.
    for (int i = 0; i < 20; ++i)
        favorites.push_back(EffectAlias{catalogue[i % 6].match_name, &catalogue[i % 6], nullptr});
    panel->Rebuild();
    const rect thumb = panel->scroll_bar().thumb_rect();
    ASSERT_GT(panel->scroll_bar().range(), 0);
    ASSERT_LT(thumb.height, 300);
    qzsdk::test::window_snapshot shot(window);
    EXPECT_TRUE(looks_like(shot.pixel(383, thumb.y + 2), light.scroll_thumb_color));
    EXPECT_TRUE(looks_like(shot.pixel(390, thumb.y + thumb.height / 2), light.scroll_grip_color));
    EXPECT_TRUE(looks_like(shot.pixel(390, 297), light.prefs_scroll_back_color));
}
