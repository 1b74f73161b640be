#pragma once
// A top-level native window drawn by the toolkit: root widget, renderer, and the tables that turn
// Win32 messages into events for its widgets.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/ui/event_object.h"
#include "toolkit/ui/ime_record.h"
#include "toolkit/ui/native_window.h"
#include "toolkit/ui/property_bag.h"
#include "toolkit/ui/rect.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/tooltip_region.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

// Style flags of create.
namespace window_style {
constexpr uint16_t borderless = 0x01;
constexpr uint16_t popup = 0x02;
constexpr uint16_t caption_only = 0x04;
constexpr uint16_t resizable = 0x08;
constexpr uint16_t minimize_box = 0x10;
constexpr uint16_t maximize_box = 0x20;
constexpr uint16_t topmost = 0x40;
}  // namespace window_style

// What the window procedure hands to routing: an event id, its param and, for mouse input, where
// it happened in 96-dpi client units.
struct input_record {
    input_record(uint32_t id_, uint64_t param_) : id(id_), param(param_) {}
    input_record(uint32_t id_, uint64_t param_, point position_)
        : id(id_), param(param_), has_position(true), position(position_)
    {
    }

    uint32_t id;
    uint64_t param;
    bool has_position = false;
    point position;
    // A double click reported as a press still swallows the next release.
    bool swallows_release = false;
};

class tooltip;

// The timer of every window's tooltip tick; widget timers count up from 1.
constexpr uint32_t tooltip_timer_id = 0xFFFFFFFFu;
// The timer that paints a window's first frames through a new render target again.
constexpr uint32_t repaint_again_timer_id = 0xFFFFFFFEu;

class window : public event_object {
public:
    window();
    ~window() override;

    virtual void on_user_message(uint32_t value);
    // Sees every input before the widgets do; true uses it up, so neither they nor the window's own
    // handlers see it.
    virtual bool preview_input(const input_record& record);

    void create(const std::string& title, const rect& bounds, uint16_t flags);
    // Serves as an owner of toolkit windows without being created, destroyed or subclassed here.
    void wrap_native(HWND foreign);

    int32_t show_modal();
    void end_modal(int32_t result);
    void close_request(bool forced);
    void set_visible(bool visible);
    bool is_visible() const { return holder_.visible; }
    void set_focus_widget(widget* target, int32_t param);
    rect get_client_rect() const;
    void center();
    void set_timer(widget* target, uint32_t timer_id, uint32_t interval_ms, bool one_shot);
    void kill_timer(widget* target, uint32_t timer_id);
    void set_tooltip(widget* target, const rect& area, const std::string& title, const std::string& text);
    // Drops the target's regions of that area (all-zero: the whole widget), so a new text can replace them.
    void remove_tooltip(widget* target, const rect& area);
    // The tooltip tick: every 100 ms while the window has registrations.
    void update_tooltip();
    void route_input(const input_record& record);
    void paint(widget* target, const rect& update);
    widget* hit_test(point client) const;

    HWND handle() const { return holder_.handle(); }
    native_window& holder() { return holder_; }
    const native_window& holder() const { return holder_; }
    ui::renderer* renderer() const { return renderer_.get(); }
    // Null until the window is created.
    ime_record* ime() const { return ime_.get(); }
    widget& root() { return root_; }
    widget* focused_widget() const { return focused_; }
    widget* hovered_widget() const { return hovered_; }
    window* owner() const { return owner_; }
    void set_owner(window* owner) { owner_ = owner; }
    int32_t modal_result() const { return modal_->result; }

    property_bag properties;
    bool tab_navigation = true;
    // A press gives the keyboard focus to the widget under it; a window whose one field keeps the
    // keyboard clears this.
    bool click_focus = true;

private:
    friend class widget;
    friend class tooltip_test_api;
    friend struct window_message;
    friend class window_test_api;

    class paint_session;

    // Posted after the first paint through a new render target: the whole window is painted again, then
    // again these many milliseconds later.
    static constexpr UINT repaint_again_message = WM_USER + 1;
    static constexpr UINT repaint_again_later_ms[] = {250, 1000};

    // Outlives the window when a handler destroys it inside its own modal loop.
    struct modal_state {
        bool alive = true;
        int32_t result = 0;
    };

    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
    void handle_size(WPARAM wparam, LPARAM lparam);
    void handle_paint();
    void repaint_again();
    void handle_timer(uint32_t timer_id);
    void handle_ime_composition(LPARAM lparam);
    LRESULT handle_hit_test(LPARAM lparam);
    void handle_min_max(MINMAXINFO* info);
    void route_pointer(uint32_t id, uint64_t param, LPARAM lparam, bool screen_coordinates);
    point client_units(LPARAM lparam, bool screen_coordinates) const;
    widget* widget_under(const input_record& record) const;
    void move_tab_focus();
    bool is_eligible(const widget* target) const;
    bool is_in_tree(const widget* target) const;
    void paint_widget(widget* target, const rect& update);
    void forget_widget(widget* target);
    // Clears this window's captured widget and tells it with event 19.
    void end_capture();
    void invalidate_client(const rect& area);
    void hide_native();
    // Drops what the pointer and the last press left: capture, hover, tooltip, leave tracking.
    void forget_pointer();
    void kill_all_timers();
    void hide_tooltip();
    // Whether the cursor is over this window on the screen, not over one that covers it.
    bool shows_cursor() const;
    void forget_tooltips_of(widget* target);

    native_window holder_;
    std::unique_ptr<ui::renderer> renderer_;
    std::unique_ptr<ime_record> ime_;
    window* owner_ = nullptr;
    widget* focused_ = nullptr;
    widget* hovered_ = nullptr;
    std::vector<widget*> registry_;
    std::unordered_map<widget*, std::vector<tooltip_region>> tooltips_;
    std::unique_ptr<ui::tooltip> tooltip_;
    float hover_time_ = 0;
    widget* tick_widget_ = nullptr;
    rect current_region_;
    int32_t paint_origin_x_ = 0;
    int32_t paint_origin_y_ = 0;
    // How many of the repaints after a new render target's first frame have been asked for.
    size_t repaints_asked_ = 0;
    paint_session* painting_ = nullptr;
    bool tracking_ = false;
    bool swallow_next_up_ = false;
    std::shared_ptr<modal_state> modal_ = std::make_shared<modal_state>();
    widget root_;
};

// The one widget that receives every mouse move and button release during a drag.
widget* captured_widget();
// Also takes (or, with null, releases) the native mouse capture of the widget's window.
void set_captured_widget(widget* target);

// The cursor in 96-dpi units, relative to the widget, or on the screen without one.
point cursor_position(const widget* relative_to);

}  // namespace qzsdk::ui
