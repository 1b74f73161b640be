#include "preferences/preferences_effects_scroll_panel.h"

#include "preferences/popup_style.h"
#include "preferences/preferences_record_list.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/event_manager.h"

#include <algorithm>

using namespace qzsdk::ui;

namespace {

constexpr uint32_t drag_timer_id = 1;
constexpr uint32_t drag_timer_ms = 50;
constexpr int32_t scroll_bar_width = 18;

// The widget's rectangle in 96-dpi screen units.
rect ScreenRect(const widget& target)
{
    const point origin = target.window_position();
    rect r{origin.x, origin.y, target.bounds().width, target.bounds().height};
    if (window* host = target.owner_window()) {
        POINT origin{0, 0};
        ClientToScreen(host->handle(), &origin);
        r.x += host->holder().to_units_x(origin.x);
        r.y += host->holder().to_units_y(origin.y);
    }
    return r;
}

}  // namespace

PreferencesEffectsScrollPanel::PreferencesEffectsScrollPanel(PreferencesListEvents* owner, PreferencesRecordList* list,
                                                             bool has_new_row, const EffectsTheme* theme)
    : theme_(theme), list_(list), has_new_row_(has_new_row), owner_(owner)
{
    name = "PreferencesEffectsScrollPanel";
    marker_.create("Marker", rect{0, 0, 30, 4}, 7);
    KeepOffTaskbar(marker_);
    event_manager::instance().connect(&marker_.root(), this, event_id::paint, [this](const event_info&) {
        FillWidget(marker_.root(), color{0.706f, 0.196f, 0.137f, 1.0f});
    });
    connect_member(this, event_id::attached, &PreferencesEffectsScrollPanel::OnAttached, this);
    event_manager::instance().connect(this, this, event_id::timer, [this](const event_info& info) {
        if (info.param == drag_timer_id)
            UpdateDrag(false);
    });
}

PreferencesEffectsScrollPanel::~PreferencesEffectsScrollPanel()
{
    EndDrag();
    rows_.clear();
    new_row_.reset();
}

void PreferencesEffectsScrollPanel::OnAttached()
{
    int32_t w = bounds().width;
    int32_t h = bounds().height;
    frame_.attach_to_window(this, rect{0, 0, show_scroll_bar ? w - scroll_bar_width : w, h});
    connect_member(&frame_, event_id::paint, &PreferencesEffectsScrollPanel::PaintGrid, this);
    content_.attach_to_window(&frame_, rect{0, 0, frame_.bounds().width, frame_.bounds().height});
    scroll_bar_.attach_to_window(this, rect{w - scroll_bar_width, 0, scroll_bar_width, h});
    scroll_bar_.set_target(&content_);
    scroll_bar_.set_visible(show_scroll_bar);
    Rebuild();
}

void PreferencesEffectsScrollPanel::Rebuild()
{
    // A drag cannot outlive the row it drags.
    EndDrag();
    rows_.clear();
    if (!is_attached())
        return;
    PreferencesColumns shown = columns();
    for (uint64_t i = 0; i < list_->size(); ++i) {
        auto row = std::make_unique<PreferencesEffectSlot>(theme_, this, owner_, list_, i, shown);
        row->attach_to_window(&content_, rect{0, 0, 200, preferences_row_height});
        rows_.push_back(std::move(row));
    }
    if (has_new_row_) {
        new_row_.reset();
        new_row_ = std::make_unique<PreferencesEffectNew>(theme_, this, owner_, shown);
        new_row_->attach_to_window(&content_, rect{0, 0, 200, preferences_row_height});
    }
    content_.update_layout();
    ApplyTheme(theme_);
    if (scroll_bar_.position() > scroll_bar_.range())
        scroll_bar_.scroll_to(scroll_bar_.range(), true);
    invalidate(false);
}

void PreferencesEffectsScrollPanel::ApplyTheme(const EffectsTheme* theme)
{
    theme_ = theme;
    if (!theme_)
        return;
    frame_.properties.set_color("default_back_color", theme_->prefs_list_back_color);
    // The popup's thumb and grips, on the lists' own track.
    scroll_bar_.ApplyTheme(theme_);
    scroll_bar_.properties.set_color("default_back_color", theme_->prefs_scroll_back_color);
    for (auto& row : rows_)
        row->ApplyTheme(theme_);
    if (new_row_)
        new_row_->ApplyTheme(theme_);
    if (frame_.is_visible(true))
        frame_.invalidate(false);
    if (scroll_bar_.is_visible(true))
        scroll_bar_.invalidate(false);
}

void PreferencesEffectsScrollPanel::PaintGrid()
{
    if (!theme_)
        return;
    int32_t fw = frame_.bounds().width;
    int32_t fh = frame_.bounds().height;
    PreferencesColumns shown = columns();
    if (shown.number)
        DrawGridLine(frame_, 30, fh, theme_->prefs_list_line_color);
    if (shown.override_column)
        DrawGridLine(frame_, shown.override_line(fw), fh, theme_->prefs_list_line_color);
    if (shown.label)
        DrawGridLine(frame_, shown.label_line(fw), fh, theme_->prefs_list_line_color);
}

void PreferencesEffectsScrollPanel::RemoveRow(PreferencesEffectSlot* row)
{
    auto found = std::find_if(rows_.begin(), rows_.end(), [row](const auto& own) { return own.get() == row; });
    if (found == rows_.end())
        return;
    if (list_->erase(row->index()))
        Rebuild();
}

void PreferencesEffectsScrollPanel::BeginDrag(PreferencesEffectSlot* row, point press_point)
{
    dragged_ = row;
    drag_window_.Take(row, list_, row->index(), row->columns(), ScreenRect(*row), press_point);
    drop_index_ = -1;
    if (owner_window())
        owner_window()->set_timer(this, drag_timer_id, drag_timer_ms, false);
}

void PreferencesEffectsScrollPanel::UpdateDrag(bool from_move)
{
    if (!dragged_)
        return;
    // The capture was taken away (Alt+Tab, a menu, another window): the drag is over, nothing is dropped.
    window* host = owner_window();
    if (captured_widget() != dragged_ || !host || GetCapture() != host->handle()) {
        EndDrag();
        drop_index_ = -1;
        return;
    }
    point c = cursor_position(nullptr);
    // Behind the marker, which goes in front of all: the two never swap places at a tick.
    drag_window_.Follow(c, marker_.is_visible() ? marker_.handle() : HWND_TOPMOST);

    const std::vector<widget*>& children = content_.children();
    int32_t index = -1;
    for (size_t i = 0; i < children.size() && index < 0; ++i) {
        rect child = ScreenRect(*children[i]);
        int32_t half = child.height / 2;
        if (child.y <= c.y && c.y < child.y + half)
            index = static_cast<int32_t>(i);
        else if (child.y + half <= c.y && c.y < child.y + child.height)
            index = static_cast<int32_t>(i) + 1;
    }
    rect panel = ScreenRect(*this);
    if (!from_move) {
        int32_t d = c.y - panel.y;
        int32_t position = scroll_bar_.position();
        if (d < 0) {
            scroll_bar_.scroll_to(position + d, true);
            if (scroll_bar_.position() == 0)
                index = 0;
        } else if (d - panel.height >= 1) {
            scroll_bar_.scroll_to(position + d - panel.height, true);
            if (position + d >= scroll_bar_.range())
                index = static_cast<int32_t>(children.size());
        }
    }
    if (children.empty())
        return;
    if (index < 0)
        index = drop_index_;
    int32_t n = static_cast<int32_t>(children.size()) - (new_row_ ? 1 : 0);
    if (index >= 0 && n > 0) {
        rect edge_child = ScreenRect(*children[static_cast<size_t>(std::min(index, n - 1))]);
        int32_t edge = index < n ? edge_child.y : edge_child.y + edge_child.height;
        bool inside = edge - 2 >= panel.y - 2 && edge - 2 <= panel.y + panel.height + 2;
        PlaceOnScreen(marker_, rect{edge_child.x, edge - 2, edge_child.width, 4}, inside);
        marker_.set_visible(inside);
    }
    drop_index_ = index;
}

void PreferencesEffectsScrollPanel::EndDrag()
{
    if (!dragged_)
        return;
    PreferencesEffectSlot* row = std::exchange(dragged_, nullptr);
    drag_window_.Drop();
    marker_.set_visible(false);
    if (owner_window())
        owner_window()->kill_timer(this, drag_timer_id);
    row->CancelDrag();
}

void PreferencesEffectsScrollPanel::DropRow(PreferencesEffectSlot* row)
{
    if (row != dragged_)
        return;
    EndDrag();
    int32_t target = drop_index_;
    drop_index_ = -1;
    if (target < 0)
        return;
    // The row's own index, not a search by value: two equal records stay told apart.
    if (list_->move(row->index(), static_cast<size_t>(target)))
        Rebuild();
}
