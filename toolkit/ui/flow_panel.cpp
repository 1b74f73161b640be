#include "toolkit/ui/flow_panel.h"

#include <algorithm>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/widget_painting.h"

namespace qzsdk::ui {
namespace {

int32_t low_half(uint64_t packed)
{
    return static_cast<int32_t>(static_cast<uint32_t>(packed));
}

int32_t high_half(uint64_t packed)
{
    return static_cast<int32_t>(static_cast<uint32_t>(packed >> 32));
}

}  // namespace

flow_panel::flow_panel(uint32_t orientation, bool fill_parent, bool fit_to_content, bool fill_across)
    : orientation_(orientation), fill_across_(fill_across), fill_parent_(fill_parent), fit_to_content_(fit_to_content)
{
    properties.set_color("default_back_color", color{0, 0, 0, 0});
    connect_member(this, event_id::attached, &flow_panel::on_attached, this);
}

void flow_panel::on_attached()
{
    connect_member_info(this, event_id::child_added, &flow_panel::on_child_added, this);
    connect_member_info(this, event_id::child_removed, &flow_panel::on_child_removed, this);
    connect_member(this, event_id::paint, &flow_panel::paint, this);
    connect_member_info(this, event_id::resized, &flow_panel::on_resized, this);
    if (fill_parent_) {
        connect_member(this, event_id::parent_resized, &flow_panel::on_parent_resized, this);
        on_parent_resized();
    }
}

void flow_panel::paint()
{
    if (renderer* r = renderer_of(*this)) {
        r->set_fill_color(properties.get_color("default_back_color"));
        r->fill_rect(rect{0, 0, bounds().width, bounds().height});
    }
}

void flow_panel::push_item(const flow_item& entry)
{
    items_.push_back(entry);
    if (entry.expand)
        has_expanding_ = true;
}

void flow_panel::on_child_added(const event_info& info)
{
    widget* child = reinterpret_cast<widget*>(info.param);
    auto* inner = dynamic_cast<flow_panel*>(child);
    bool expand = inner && inner->orientation_ != orientation_ && inner->fill_parent_;
    push_item(flow_item::of_widget(child, expand));
    if (!track_children)
        return;
    record_child_connection(child,
                            connect_member_info(child, event_id::resized, &flow_panel::on_child_resized, this));
    record_child_connection(child, connect_member(child, event_id::hidden, &flow_panel::update_layout, this));
    record_child_connection(child, connect_member(child, event_id::shown, &flow_panel::update_layout, this));
}

void flow_panel::on_child_removed(const event_info& info)
{
    widget* child = reinterpret_cast<widget*>(info.param);
    std::erase_if(items_, [child](const flow_item& entry) { return entry.target() == child; });
    has_expanding_ = std::any_of(items_.begin(), items_.end(), [](const flow_item& entry) { return entry.expand; });
}

void flow_panel::on_resized(const event_info& info)
{
    bool changed = low_half(info.param) != bounds().width || high_half(info.param) != bounds().height;
    if (changed && (fill_across_ || has_expanding_))
        update_layout();
}

void flow_panel::on_parent_resized()
{
    if (!parent())
        return;
    const rect& p = parent()->bounds();
    rect b = bounds();
    if (orientation_ == horizontal) {
        b.height = p.height - b.y;
        if (has_expanding_)
            b.width = p.width - b.x;
    } else {
        b.width = p.width - b.x;
        if (has_expanding_)
            b.height = p.height - b.y;
    }
    set_bounds(b, true);
    update_layout();
}

void flow_panel::on_child_resized(const event_info& info)
{
    auto* child = static_cast<widget*>(info.sender);
    bool width_changed = low_half(info.param) != child->bounds().width;
    bool height_changed = high_half(info.param) != child->bounds().height;
    if (orientation_ == horizontal) {
        if (width_changed)
            update_layout();
        if (height_changed)
            update_layout();
    } else if (height_changed) {
        update_layout();
    }
}

void flow_panel::update_layout()
{
    if (laying_out_)
        return;
    laying_out_ = true;
    struct clear_on_exit {
        bool& flag;
        ~clear_on_exit() { flag = false; }
    } clear{laying_out_};

    bool across_x = orientation_ == vertical;
    auto along = [across_x](const rect& r) { return across_x ? r.height : r.width; };
    auto across = [across_x](const rect& r) { return across_x ? r.width : r.height; };
    int32_t panel_along = along(bounds());
    int32_t panel_across = across(bounds());

    int32_t sum = 0;
    int32_t expanding = 0;
    for (const flow_item& entry : items_) {
        if (widget* target = entry.target())
            sum += along(target->bounds());
        else if (entry.kind == flow_item::fixed_gap)
            sum += static_cast<int32_t>(entry.value);
        if (entry.expand)
            ++expanding;
    }
    int32_t share = expanding > 0 ? (panel_along - sum) / expanding : 0;

    int32_t cursor = 0;
    // By index and by value: a child's handlers may remove children while it is placed.
    for (size_t index = 0; index < items_.size(); ++index) {
        flow_item entry = items_[index];
        if (entry.kind == flow_item::stretch) {
            cursor += share;
            continue;
        }
        if (entry.kind == flow_item::fixed_gap) {
            cursor += static_cast<int32_t>(entry.value);
            continue;
        }
        widget* target = entry.target();
        if (!target->is_visible(false))
            continue;
        const rect& b = target->bounds();
        int32_t length = along(b) + (entry.expand ? share : 0);
        int32_t width = fill_across_ ? panel_across : across(b);
        rect next = across_x ? rect{b.x, cursor, width, length} : rect{cursor, b.y, length, width};
        target->set_bounds(next, true);
        cursor += length;
    }
    if (fit_to_content_ && cursor != panel_along) {
        rect b = bounds();
        (across_x ? b.height : b.width) = std::max(cursor, 0);
        set_bounds(b, true);
    }
}

}  // namespace qzsdk::ui
