#pragma once
// A node of a window's widget tree. Widgets do not own their children; their creators own them.
#include "toolkit/ui/color.h"
#include "toolkit/ui/event_object.h"
#include "toolkit/ui/property_bag.h"
#include "toolkit/ui/rect.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace qzsdk::ui {

class window;

struct anchor {
    bool on = false;
    int32_t distance = 0;  // from the matching edge of the parent
};

struct widget_anchors {
    anchor top;
    anchor bottom;
    anchor left;
    anchor right;
};

class widget : public event_object {
public:
    widget();
    ~widget() override;

    // The one way into a tree: takes the parent's window, registers for Tab order, fires 35 and 17.
    void attach_to_window(widget* parent, const rect& bounds);

    virtual void add_child(widget* child);
    virtual void remove_child(widget* child);
    virtual void remove_all_children();
    virtual void invalidate(bool update_now);
    // Only a part of the widget, in its own coordinates, clipped to what is visible of it.
    void invalidate_part(const rect& part);
    virtual bool is_visible(bool effective) const;

    bool is_enabled(bool effective) const;
    void set_bounds(const rect& bounds, bool keep_as_initial = false);
    void set_visible(bool visible);
    void set_enabled(bool enabled);
    void set_back_color(const color& back_color);
    void set_timer(uint32_t timer_id, uint32_t interval_ms, bool one_shot);
    void kill_timer(uint32_t timer_id);
    void set_tooltip(const std::string& title, const std::string& text);
    // Drops the whole-widget tooltip, so that set_tooltip replaces it instead of adding a second one.
    void remove_tooltip();
    // A subclass's connection to a child's events, dropped when that child is removed.
    void record_child_connection(widget* child, uint32_t connection);

    widget* parent() const { return parent_; }
    ui::window* owner_window() const { return window_; }
    const std::vector<widget*>& children() const { return children_; }
    const rect& bounds() const { return bounds_; }
    const rect& initial_bounds() const { return initial_bounds_; }
    bool is_attached() const { return attached_; }
    // Bounds clipped by every ancestor, in the window's 96-dpi client coordinates; empty when hidden by them.
    rect visible_area() const;
    // The top-left corner in the window's 96-dpi client coordinates.
    point window_position() const;

    property_bag properties;
    std::string name = "Widget";
    widget_anchors anchors;
    bool tab_stop = false;

private:
    friend class window;

    void hand_down_visible(bool inherited);
    void hand_down_enabled(bool inherited);
    void reanchor_to(int32_t parent_width, int32_t parent_height);
    void detach_child(widget* child);
    void drop_child_connections(widget* child);
    void invalidate_area(const rect& area);
    void end_unusable_capture();

    bool attached_ = false;
    std::unordered_map<widget*, std::vector<uint32_t>> child_connections_;
    widget* parent_ = nullptr;
    ui::window* window_ = nullptr;
    std::vector<widget*> children_;
    bool visible_ = false;
    bool inherited_visible_ = true;
    bool enabled_ = true;
    bool inherited_enabled_ = true;
    rect bounds_;
    rect initial_bounds_;
};

}  // namespace qzsdk::ui
