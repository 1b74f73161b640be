#include "toolkit/ui/window.h"

#include <algorithm>
#include <utility>

#include "toolkit/platform/qz_exception.h"
#include "toolkit/platform/text.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/guarded_call.h"
#include "toolkit/ui/invalidation_batch.h"
#include "toolkit/ui/screen_dpi.h"
#include "toolkit/ui/system_cursors.h"
#include "toolkit/ui/tooltip.h"
#include "toolkit/ui/window_procedure.h"

namespace qzsdk::ui {
namespace {

widget* captured = nullptr;

// Only a capture this toolkit took is given back; the host's own capture stays.
void release_native_capture(HWND handle)
{
    if (handle && GetCapture() == handle)
        ReleaseCapture();
}

}  // namespace

widget* captured_widget()
{
    return captured;
}

void set_captured_widget(widget* target)
{
    widget* previous = std::exchange(captured, target);
    if (target && target->owner_window() && target->owner_window()->handle())
        SetCapture(target->owner_window()->handle());
    else if (!target && previous && previous->owner_window())
        release_native_capture(previous->owner_window()->handle());
    if (target && previous && previous != target)
        fire_event(previous, event_id::capture_lost);
}

window::window() : properties(this), holder_(this)
{
    SetCursor(system_cursors[cursor_arrow]);
}

window::~window()
{
    // The subclass is gone already: only other objects may still hear this window's last events.
    event_manager::instance().remove_listener(this);
    call_reporting([this] { fire_event(this, event_id::destroying); });
    // Owned by this window natively too: it goes first, while its handle is still its own.
    tooltip_.reset();
    invalidation_batch::forget(handle());
    // Messages sent while the rest goes away must not reach a half-destroyed window.
    holder_.detach_from_handle();
    modal_->alive = false;
    event_manager::instance().remove_object(this);
    kill_all_timers();
    for (widget* registered : registry_) {
        if (registered == captured) {
            captured = nullptr;
            release_native_capture(handle());
        }
        registered->window_ = nullptr;
    }
    registry_.clear();
    tooltips_.clear();
    focused_ = nullptr;
    hovered_ = nullptr;
}

void window::on_user_message(uint32_t) {}

void window::wrap_native(HWND foreign)
{
    holder_.wrap(foreign);
}

void window::create(const std::string& title, const rect& bounds, uint16_t flags)
{
    DWORD style = WS_CAPTION | WS_SYSMENU;
    DWORD extended = 0;
    if (flags & window_style::popup)
        style = WS_POPUP;
    if (flags & window_style::minimize_box)
        style = (flags & window_style::popup) ? WS_POPUP | WS_MINIMIZEBOX : WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (flags & window_style::maximize_box)
        style |= WS_MAXIMIZEBOX;
    if (flags & window_style::caption_only)
        style = WS_CAPTION;
    if (flags & window_style::resizable)
        style |= WS_THICKFRAME;
    if (flags & window_style::topmost)
        extended = WS_EX_TOPMOST;
    if (flags & window_style::borderless) {
        style = WS_POPUP;
        extended = 0;
        holder_.resizable_borderless = (flags & window_style::resizable) != 0;
    }
    style |= WS_CLIPCHILDREN;
    holder_.style = style;
    holder_.extended_style = extended;

    holder_.create(window_class_name().c_str(), bounds.x, bounds.y, bounds.width, bounds.height,
                   owner_ ? owner_->handle() : nullptr);
    holder_.register_drop_target();
    SetWindowTextW(handle(), utf8_to_wide(title).c_str());

    root_.name = "BaseWidget";
    root_.window_ = this;
    root_.parent_ = nullptr;
    root_.bounds_ = rect{0, 0, bounds.width, bounds.height};
    root_.initial_bounds_ = root_.bounds_;
    root_.set_enabled(true);
    root_.set_visible(true);
    registry_.push_back(&root_);
    root_.attached_ = true;
    fire_event(&root_, event_id::attached);
    focused_ = &root_;

    renderer_ = std::make_unique<ui::renderer>(handle());
    ime_ = std::make_unique<ime_record>(handle());
    fire_event(this, event_id::attached);
}

void window::hide_native()
{
    forget_pointer();
    if (handle() && IsWindowVisible(handle()))
        ShowWindow(handle(), SW_HIDE);
    holder_.visible = false;
}

void window::forget_pointer()
{
    // A tooltip left standing would point at a window that is gone from the screen.
    hide_tooltip();
    end_capture();
    // A press that hides the window is released over another one: neither the swallowed release of a
    // double click nor the leave tracking may wait for the next showing, and the widget under the pointer
    // (a button still pressed) hears that the pointer left.
    swallow_next_up_ = false;
    if (tracking_) {
        tracking_ = false;
        TRACKMOUSEEVENT cancel{sizeof(cancel), TME_CANCEL | TME_LEAVE, handle(), HOVER_DEFAULT};
        TrackMouseEvent(&cancel);
    }
    widget* left = std::exchange(hovered_, nullptr);
    if (is_eligible(left))
        fire_event(left, event_id::mouse_leave);
}

int32_t window::show_modal()
{
    // Nothing could ever end a loop over a window that does not exist.
    if (!handle())
        throw qz_exception("the window has not been created");
    std::shared_ptr<modal_state> state = modal_;
    state->result = 0;
    fire_event(this, event_id::shown);
    holder_.disable_owner();
    if (!IsWindowVisible(handle())) {
        ShowWindow(handle(), SW_SHOW);
        UpdateWindow(handle());
    }
    holder_.visible = true;
    holder_.running = true;

    // Whatever ends the loop (end_modal, a close, a quit message, a throwing handler) leaves the
    // owner as it was found; a window destroyed by its own handler is not touched again.
    struct restore_on_exit {
        window* self;
        std::shared_ptr<modal_state> state;
        ~restore_on_exit()
        {
            if (!state->alive)
                return;
            self->holder_.running = false;
            self->holder_.restore_owner();
        }
    } restore{this, state};

    while (state->alive && holder_.running) {
        MSG message;
        // The flag is tested before taking a message, so a message for another window is never lost.
        while (state->alive && holder_.running && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The loops outside this one must see it too.
                PostQuitMessage(static_cast<int>(message.wParam));
                holder_.running = false;
                break;
            }
            if (ime_ && ime_->composing && message.message == WM_KEYDOWN)
                ime_->store_key();
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // Waiting only once the queue is empty: WaitMessage ignores messages already in the queue
        // when the loop starts (the opener's loop has looked at them). What the opener asked to repaint
        // outside any message of this loop reaches the system before the wait.
        if (state->alive && holder_.running) {
            invalidation_batch::flush();
            WaitMessage();
        }
    }
    if (state->alive)
        fire_event(this, event_id::hidden);
    return state->result;
}

void window::end_modal(int32_t result)
{
    modal_->result = result;
    holder_.running = false;
    // The loop ends and the owner comes back even when a handler of 36 throws.
    struct finish {
        window& self;
        ~finish()
        {
            self.holder_.restore_owner();
            self.hide_native();
        }
    } finish_after_event{*this};
    fire_event(this, event_id::hidden);
}

void window::close_request(bool forced)
{
    if (!forced && fire_event(this, event_id::close_requested))
        return;
    holder_.running = false;
    holder_.restore_owner();
    hide_native();
}

void window::set_visible(bool visible)
{
    bool previous = holder_.visible;
    holder_.visible = visible;
    if (!visible)
        forget_pointer();
    if (handle()) {
        if (!visible || !IsWindowVisible(handle()))
            ShowWindow(handle(), visible ? SW_SHOW : SW_HIDE);
        if (visible) {
            invalidation_batch::flush();
            UpdateWindow(handle());
        }
    }
    if (visible != previous)
        fire_event(this, visible ? event_id::shown : event_id::hidden);
}

rect window::get_client_rect() const
{
    if (!handle())
        return {};
    RECT client{};
    GetClientRect(handle(), &client);
    POINT origin{0, 0};
    ClientToScreen(handle(), &origin);
    return {origin.x, origin.y, holder_.to_units_x(client.right), holder_.to_units_y(client.bottom)};
}

void window::center()
{
    if (!handle())
        return;
    RECT client{};
    GetClientRect(handle(), &client);
    int width = client.right;
    int height = client.bottom;
    HWND owner = holder_.native_owner();
    RECT reference{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner)
        GetWindowRect(owner, &reference);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    int x = reference.left + (reference.right - width - reference.left) / 2;
    int y = reference.top + (reference.bottom - height - reference.top) / 2;
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, GetWindowLongW(handle(), GWL_STYLE), FALSE, GetWindowLongW(handle(), GWL_EXSTYLE));
    int outer_width = outer.right - outer.left;
    int outer_height = outer.bottom - outer.top;
    const RECT& work = monitor.rcWork;
    if (x + outer_width > work.right)
        x = work.right - outer_width;
    if (y + outer_height > work.bottom)
        y = work.bottom - outer_height;
    if (x < work.left)
        x = work.left + 1;
    if (y < work.top)
        y = work.top + 1;
    SetWindowPos(handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void window::set_timer(widget* target, uint32_t timer_id, uint32_t interval_ms, bool one_shot)
{
    for (const auto& [id, entry] : holder_.timers)
        if (entry.target == target && entry.timer_id == timer_id)
            return;
    if (!handle())
        return;
    uint32_t id = ++holder_.timer_counter;
    holder_.timers[id] = widget_timer{target, timer_id, one_shot};
    SetTimer(handle(), id, interval_ms, nullptr);
}

void window::kill_timer(widget* target, uint32_t timer_id)
{
    for (auto entry = holder_.timers.begin(); entry != holder_.timers.end(); ++entry) {
        if (entry->second.target == target && entry->second.timer_id == timer_id) {
            KillTimer(handle(), entry->first);
            holder_.timers.erase(entry);
            return;
        }
    }
}

void window::kill_all_timers()
{
    for (const auto& [id, entry] : holder_.timers)
        KillTimer(handle(), id);
    holder_.timers.clear();
    if (handle())
        KillTimer(handle(), tooltip_timer_id);
}

void window::handle_timer(uint32_t timer_id)
{
    if (timer_id == tooltip_timer_id) {
        update_tooltip();
        return;
    }
    auto found = holder_.timers.find(timer_id);
    if (found == holder_.timers.end())
        return;
    widget_timer entry = found->second;
    // A one-shot timer is gone before its tick is handled, so the handler can set it again.
    if (entry.one_shot)
        kill_timer(entry.target, entry.timer_id);
    fire_event(entry.target, event_id::timer, entry.timer_id);
}

void window::set_tooltip(widget* target, const rect& area, const std::string& title, const std::string& text)
{
    if (!target || (title.empty() && text.empty()))
        return;
    if (tooltips_.empty()) {
        auto made = std::make_unique<ui::tooltip>(target);
        made->set_owner(this);
        made->create("", rect{0, 0, 400, 200}, window_style::popup | window_style::topmost);
        tooltip_ = std::move(made);
        hover_time_ = 0;
        if (handle())
            SetTimer(handle(), tooltip_timer_id, 100, nullptr);
    }
    tooltips_[target].push_back(tooltip_region{area, title, text});
}

void window::remove_tooltip(widget* target, const rect& area)
{
    auto found = tooltips_.find(target);
    if (found == tooltips_.end())
        return;
    std::erase_if(found->second, [&area](const tooltip_region& region) { return region.area == area; });
    if (found->second.empty())
        forget_tooltips_of(target);
    else if (tick_widget_ == target)
        hide_tooltip();  // it may show the text just removed
}

void window::hide_tooltip()
{
    if (tooltip_)
        tooltip_->hide();
}

bool window::shows_cursor() const
{
    if (!handle() || !IsWindowVisible(handle()))
        return false;
    POINT cursor{};
    GetCursorPos(&cursor);
    HWND under = WindowFromPoint(cursor);
    return under == handle() || IsChild(handle(), under);
}

void window::update_tooltip()
{
    struct count_tick {
        float& time;
        ~count_tick() { time += 0.1f; }
    } tick{hover_time_};

    // A window hidden or covered since the last move no longer has the cursor over its widget.
    widget* hovered = shows_cursor() ? hovered_ : nullptr;
    if (hovered != tick_widget_) {
        hover_time_ = 0;
        tick_widget_ = hovered;
        hide_tooltip();
        return;
    }
    auto found = hovered ? tooltips_.find(hovered) : tooltips_.end();
    if (found == tooltips_.end() || found->second.empty() || !tooltip_)
        return;

    point cursor = cursor_position(hovered);
    const tooltip_region* inside = nullptr;
    rect examined;
    for (const tooltip_region& region : found->second) {
        examined = region.area == rect{} ? rect{0, 0, hovered->bounds().width, hovered->bounds().height}
                                         : region.area;
        if (cursor.x >= examined.x && cursor.x <= examined.x + examined.width && cursor.y >= examined.y &&
            cursor.y <= examined.y + examined.height) {
            inside = &region;
            break;
        }
    }
    if (!inside || !(examined == current_region_)) {
        hover_time_ = 0;
        current_region_ = examined;
        hide_tooltip();
        return;
    }
    if (hover_time_ > 0.75f && hover_time_ < 6.0f && !tooltip_->is_visible()) {
        point screen = cursor_position(nullptr);
        tooltip_->show(point{screen.x + 5, screen.y + 20}, inside->title, inside->text);
    } else if (hover_time_ >= 6.0f) {
        hide_tooltip();
    }
}

// A tooltip never outlives the widget it shows for or the one whose skin it reads, and the tick stops
// with the last registration.
void window::forget_tooltips_of(widget* target)
{
    tooltips_.erase(target);
    if (tick_widget_ == target) {
        tick_widget_ = nullptr;
        hide_tooltip();
    }
    if (!tooltip_)
        return;
    if (tooltips_.empty()) {
        tooltip_.reset();
        if (handle())
            KillTimer(handle(), tooltip_timer_id);
    } else if (tooltip_->skin_source() == target) {
        tooltip_->set_skin_source(tooltips_.begin()->first);
    }
}

void window::forget_widget(widget* target)
{
    forget_tooltips_of(target);
    for (auto entry = holder_.timers.begin(); entry != holder_.timers.end();) {
        if (entry->second.target == target) {
            KillTimer(handle(), entry->first);
            entry = holder_.timers.erase(entry);
        } else {
            ++entry;
        }
    }
    auto found = std::find(registry_.rbegin(), registry_.rend(), target);
    if (found != registry_.rend())
        registry_.erase(std::next(found).base());
    if (hovered_ == target)
        hovered_ = nullptr;
    if (focused_ == target)
        focused_ = nullptr;
    if (captured == target) {
        captured = nullptr;
        release_native_capture(handle());
    }
}

void window::end_capture()
{
    widget* lost = captured;
    if (!lost || lost->owner_window() != this)
        return;
    captured = nullptr;
    release_native_capture(handle());
    fire_event(lost, event_id::capture_lost);
}

void window::invalidate_client(const rect& area)
{
    // Without a handle InvalidateRect would repaint every window on the screen.
    if (!handle() || area.width <= 0 || area.height <= 0)
        return;
    // Widgets speak 96-dpi units; the update region is in pixels, rounded outwards.
    RECT pixels{MulDiv(area.x, holder_.dpi_x(), 96) - (holder_.dpi_x() != 96),
                MulDiv(area.y, holder_.dpi_y(), 96) - (holder_.dpi_y() != 96),
                MulDiv(area.x + area.width, holder_.dpi_x(), 96) + (holder_.dpi_x() != 96),
                MulDiv(area.y + area.height, holder_.dpi_y(), 96) + (holder_.dpi_y() != 96)};
    if (!invalidation_batch::defer(handle(), pixels))
        InvalidateRect(handle(), &pixels, FALSE);
}

point cursor_position(const widget* relative_to)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    window* owner = relative_to ? relative_to->owner_window() : nullptr;
    if (owner && owner->handle())
        ScreenToClient(owner->handle(), &cursor);
    point dpi = screen_dpi();
    point result{cursor.x * 96 / dpi.x, cursor.y * 96 / dpi.y};
    if (owner && owner->handle()) {
        point origin = relative_to->window_position();
        result.x -= origin.x;
        result.y -= origin.y;
    }
    return result;
}

}  // namespace qzsdk::ui
