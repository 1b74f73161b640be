#include "toolkit/ui/widget.h"

#include <windows.h>

#include <algorithm>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/guarded_call.h"
#include "toolkit/ui/invalidation_batch.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {
namespace {

uint64_t pack(int32_t low, int32_t high)
{
    return static_cast<uint32_t>(low) | (static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32);
}

}  // namespace

widget::widget() : properties(this) {}

widget::~widget()
{
    // The subclass is gone already: only other objects may still hear this widget's last events.
    event_manager::instance().remove_listener(this);
    if (window_)
        window_->forget_widget(this);
    if (parent_)
        call_reporting([this] { parent_->remove_child(this); });
    for (widget* child : children_)
        child->parent_ = nullptr;
    call_reporting([this] { fire_event(this, event_id::destroying); });
}

void widget::attach_to_window(widget* parent, const rect& bounds)
{
    // Attaching again moves the widget: it leaves its old parent and window rather than being listed twice.
    bool same_parent = parent_ && parent_ == parent &&
                       std::find(parent->children_.begin(), parent->children_.end(), this) != parent->children_.end();
    if (parent_ && !same_parent)
        parent_->remove_child(this);
    ui::window* previous = window_;
    parent_ = parent;
    window_ = parent ? parent->window_ : nullptr;
    if (previous && previous != window_)
        previous->forget_widget(this);
    bounds_ = bounds;
    initial_bounds_ = bounds;
    set_enabled(true);
    set_visible(true);
    if (window_ && std::find(window_->registry_.begin(), window_->registry_.end(), this) == window_->registry_.end())
        window_->registry_.push_back(this);
    attached_ = true;
    fire_event(this, event_id::attached);
    if (parent && !same_parent)
        parent->add_child(this);
}

void widget::add_child(widget* child)
{
    child->parent_ = this;
    fire_event(child, event_id::parent_changed, reinterpret_cast<uint64_t>(this));
    // Handed down from the effective flags, so a child re-shown inside a hidden panel stays hidden.
    child->hand_down_enabled(enabled_ && inherited_enabled_);
    child->hand_down_visible(visible_ && inherited_visible_);
    children_.push_back(child);
    fire_event(this, event_id::child_added, reinterpret_cast<uint64_t>(child));
}

// The steps of removing one child up to the parent's event 26.
void widget::detach_child(widget* child)
{
    auto found = std::find(children_.begin(), children_.end(), child);
    if (found == children_.end())
        return;
    children_.erase(found);
    child->parent_ = nullptr;
    fire_event(child, event_id::parent_changed, 0);
    child->hand_down_enabled(true);
    child->hand_down_visible(true);
    fire_event(this, event_id::child_removed, reinterpret_cast<uint64_t>(child));
}

void widget::drop_child_connections(widget* child)
{
    auto found = child_connections_.find(child);
    if (found == child_connections_.end())
        return;
    std::vector<uint32_t> connections = std::move(found->second);
    child_connections_.erase(found);
    for (uint32_t connection : connections)
        event_manager::instance().disconnect(connection);
}

void widget::remove_child(widget* child)
{
    detach_child(child);
    drop_child_connections(child);
}

void widget::remove_all_children()
{
    std::vector<widget*> children = children_;
    for (widget* child : children)
        detach_child(child);
    auto connections = std::move(child_connections_);
    child_connections_.clear();
    for (auto& [child, ids] : connections)
        for (uint32_t connection : ids)
            event_manager::instance().disconnect(connection);
    children_.clear();
}

void widget::record_child_connection(widget* child, uint32_t connection)
{
    child_connections_[child].push_back(connection);
}

void widget::hand_down_visible(bool inherited)
{
    inherited_visible_ = inherited;
    for (widget* child : children_)
        child->hand_down_visible(inherited_visible_ && visible_);
}

void widget::hand_down_enabled(bool inherited)
{
    inherited_enabled_ = inherited;
    for (widget* child : children_)
        child->hand_down_enabled(inherited_enabled_ && enabled_);
}

bool widget::is_visible(bool effective) const
{
    return effective ? visible_ && inherited_visible_ : visible_;
}

bool widget::is_enabled(bool effective) const
{
    return effective ? enabled_ && inherited_enabled_ : enabled_;
}

void widget::set_visible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    for (widget* child : children_)
        child->hand_down_visible(visible && inherited_visible_);
    fire_event(this, visible ? event_id::shown : event_id::hidden);
    end_unusable_capture();
    if (attached_ && bounds_.width >= 1 && bounds_.height >= 1)
        invalidate_area(visible_area());
}

void widget::set_enabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    for (widget* child : children_)
        child->hand_down_enabled(enabled && inherited_enabled_);
    fire_event(this, enabled ? event_id::enabled : event_id::disabled);
    end_unusable_capture();
    if (attached_ && bounds_.width >= 1 && bounds_.height >= 1)
        invalidate_area(visible_area());
}

// Routing passes a hidden or disabled capture by, so a drag it held could never end by a release.
void widget::end_unusable_capture()
{
    widget* held = captured_widget();
    if (window_ && held && held->window_ == window_ && !(held->is_visible(true) && held->is_enabled(true)))
        window_->end_capture();
}

point widget::window_position() const
{
    point position{};
    for (const widget* at = this; at; at = at->parent_) {
        position.x += at->bounds_.x;
        position.y += at->bounds_.y;
    }
    return position;
}

rect widget::visible_area() const
{
    int32_t left = bounds_.x;
    int32_t top = bounds_.y;
    int32_t right = bounds_.x + bounds_.width;
    int32_t bottom = bounds_.y + bounds_.height;
    for (const widget* ancestor = parent_; ancestor; ancestor = ancestor->parent_) {
        const rect& b = ancestor->bounds_;
        left = std::max(left + b.x, b.x);
        top = std::max(top + b.y, b.y);
        right = std::min(right + b.x, b.x + b.width);
        bottom = std::min(bottom + b.y, b.y + b.height);
    }
    return {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

void widget::invalidate_area(const rect& area)
{
    if (window_)
        window_->invalidate_client(area);
}

void widget::invalidate(bool update_now)
{
    if (attached_ && bounds_.width >= 1 && bounds_.height >= 1)
        invalidate_area(visible_area());
    if (update_now && attached_ && window_ && window_->handle()) {
        invalidation_batch::flush();
        UpdateWindow(window_->handle());
    }
}

void widget::invalidate_part(const rect& part)
{
    if (!attached_)
        return;
    const point origin = window_position();
    const rect shown = visible_area();
    const int32_t left = std::max(origin.x + part.x, shown.x);
    const int32_t top = std::max(origin.y + part.y, shown.y);
    const int32_t right = std::min(origin.x + part.x + part.width, shown.x + shown.width);
    const int32_t bottom = std::min(origin.y + part.y + part.height, shown.y + shown.height);
    if (right > left && bottom > top)
        invalidate_area({left, top, right - left, bottom - top});
}

void widget::set_bounds(const rect& bounds, bool keep_as_initial)
{
    rect old = bounds_;
    rect old_area = visible_area();
    bounds_ = bounds;
    if (keep_as_initial)
        initial_bounds_ = bounds;
    if (!attached_)
        return;
    if (old.width != bounds.width || old.height != bounds.height) {
        uint64_t old_size = pack(old.width, old.height);
        fire_event(this, event_id::resized, old_size);
        for (widget* child : std::vector<widget*>(children_)) {
            fire_event(child, event_id::parent_resized, old_size);
            child->reanchor_to(bounds.width, bounds.height);
        }
    }
    if (old.x != bounds.x || old.y != bounds.y) {
        uint64_t old_position = pack(old.x, old.y);
        fire_event(this, event_id::moved, old_position);
        for (widget* child : std::vector<widget*>(children_))
            fire_event(child, event_id::parent_moved, old_position);
    }
    if (!(old == bounds) && old.width >= 1 && old.height >= 1)
        invalidate_area(old_area);
    if (bounds.width >= 1 && bounds.height >= 1)
        invalidate_area(visible_area());
}

void widget::reanchor_to(int32_t parent_width, int32_t parent_height)
{
    rect& b = bounds_;
    if (anchors.left.on) {
        b.x = anchors.left.distance;
        if (anchors.right.on)
            b.width = parent_width - anchors.left.distance - anchors.right.distance;
    } else if (anchors.right.on) {
        b.x = parent_width - b.width - anchors.right.distance;
    }
    if (anchors.top.on) {
        b.y = anchors.top.distance;
        if (anchors.bottom.on)
            b.height = parent_height - anchors.top.distance - anchors.bottom.distance;
    } else if (anchors.bottom.on) {
        b.y = parent_height - b.height - anchors.bottom.distance;
    }
    if (attached_ && b.width >= 1 && b.height >= 1)
        invalidate_area(visible_area());
}

void widget::set_back_color(const color& back_color)
{
    properties.set_color("default_back_color", back_color);
    if (visible_ && inherited_visible_)
        invalidate(false);
}

void widget::set_timer(uint32_t timer_id, uint32_t interval_ms, bool one_shot)
{
    if (window_)
        window_->set_timer(this, timer_id, interval_ms, one_shot);
}

void widget::kill_timer(uint32_t timer_id)
{
    if (window_)
        window_->kill_timer(this, timer_id);
}

void widget::remove_tooltip()
{
    if (window_)
        window_->remove_tooltip(this, rect{});
}

void widget::set_tooltip(const std::string& title, const std::string& text)
{
    if (window_)
        window_->set_tooltip(this, rect{}, title, text);
}

}  // namespace qzsdk::ui
