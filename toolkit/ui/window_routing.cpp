// Routing of input events to widgets, focus, Tab navigation, hit testing and the paint pass.
#include <algorithm>
#include <iterator>

#include "toolkit/platform/qz_exception.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/invalidation_batch.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {

bool window::is_eligible(const widget* target) const
{
    return target && target->is_enabled(true);
}

// Removed children stay registered with their window but are no longer reachable from its root.
bool window::is_in_tree(const widget* target) const
{
    while (target && target != &root_)
        target = target->parent();
    return target == &root_;
}

widget* window::hit_test(point client) const
{
    if (!root_.is_visible(true) || client.x < 0 || client.y < 0 || client.x >= root_.bounds_.width ||
        client.y >= root_.bounds_.height)
        return nullptr;
    const widget* current = &root_;
    point local = client;
    for (;;) {
        const widget* next = nullptr;
        for (auto child = current->children_.rbegin(); child != current->children_.rend(); ++child) {
            const rect& b = (*child)->bounds_;
            if ((*child)->is_visible(true) && local.x >= b.x && local.x < b.x + b.width && local.y >= b.y &&
                local.y < b.y + b.height) {
                next = *child;
                break;
            }
        }
        if (!next)
            return const_cast<widget*>(current);
        local.x -= next->bounds_.x;
        local.y -= next->bounds_.y;
        current = next;
    }
}

widget* window::widget_under(const input_record& record) const
{
    if (record.has_position)
        return hit_test(record.position);
    point cursor = cursor_position(&root_);
    return hit_test(cursor);
}

void window::set_focus_widget(widget* target, int32_t param)
{
    if (focused_ == target)
        return;
    widget* old = focused_;
    // Taken before the old widget hears of it: if its handler destroys the target (or moves the focus
    // on), forgetting the target clears this and the target is not touched again.
    focused_ = target;
    if (old)
        fire_event(old, event_id::focus_lost, static_cast<uint64_t>(param));
    if (focused_ != target)
        return;
    if (target && is_eligible(target))
        fire_event(target, event_id::focus_gained, static_cast<uint64_t>(param));
}

void window::move_tab_focus()
{
    bool backwards = (GetKeyState(VK_LSHIFT) & 0x8000) || (GetKeyState(VK_RSHIFT) & 0x8000);
    auto count = static_cast<ptrdiff_t>(registry_.size());
    if (count == 0)
        return;
    auto found = std::find(registry_.begin(), registry_.end(), focused_);
    ptrdiff_t start = found == registry_.end() ? (backwards ? 0 : count - 1) : found - registry_.begin();
    for (ptrdiff_t step = 1; step <= count; ++step) {
        ptrdiff_t index = ((backwards ? start - step : start + step) % count + count) % count;
        widget* candidate = registry_[static_cast<size_t>(index)];
        if (candidate == focused_)
            return;
        if (candidate->tab_stop && is_eligible(candidate) && candidate->is_visible(true) && is_in_tree(candidate)) {
            set_focus_widget(candidate, 1);
            return;
        }
    }
}

bool window::preview_input(const input_record&)
{
    return false;
}

void window::route_input(const input_record& record)
{
    if (preview_input(record))
        return;
    const uint64_t param = record.param;
    switch (record.id) {
    case event_id::mouse_up: {
        if (swallow_next_up_) {
            swallow_next_up_ = false;
            return;
        }
        if (captured_widget() && is_eligible(captured_widget()) && captured_widget()->owner_window() == this) {
            fire_event(captured_widget(), event_id::mouse_up, param);
            return;
        }
        widget* under = widget_under(record);
        if (is_eligible(under))
            fire_event(under, event_id::mouse_up, param);
        fire_event(this, event_id::mouse_up, param);
        return;
    }
    case event_id::mouse_down:
    case event_id::mouse_double_click: {
        // Set before any handler runs: a handler may destroy this window.
        swallow_next_up_ = record.id == event_id::mouse_double_click || record.swallows_release;
        widget* under = widget_under(record);
        if (is_eligible(under)) {
            if (click_focus)
                set_focus_widget(under, 0);
            fire_event(under, record.id, param);
        }
        fire_event(this, record.id, param);
        return;
    }
    case event_id::mouse_wheel:
        for (widget* target = widget_under(record); target; target = target->parent()) {
            if (is_eligible(target) && fire_event(target, event_id::mouse_wheel, param))
                return;
        }
        return;
    case event_id::mouse_leave:
        if (is_eligible(hovered_))
            fire_event(hovered_, event_id::mouse_leave);
        return;
    case event_id::mouse_move: {
        widget* capture = captured_widget();
        if (capture && capture->owner_window() == this && capture->is_enabled(true) && capture->is_visible(true)) {
            fire_event(capture, event_id::mouse_move, param);
            return;
        }
        widget* under = widget_under(record);
        if (under != hovered_) {
            widget* old = hovered_;
            hovered_ = under;
            if (is_eligible(old))
                fire_event(old, event_id::mouse_leave);
            if (hovered_ == under && is_eligible(under))
                fire_event(under, event_id::mouse_enter);
        } else if (is_eligible(under)) {
            fire_event(under, event_id::mouse_move, param);
        }
        fire_event(this, event_id::mouse_move, param);
        return;
    }
    case event_id::key_down:
    case event_id::key_down_raw:
    case event_id::key_up:
        if (is_eligible(focused_))
            fire_event(focused_, record.id, param);
        fire_event(this, record.id, param);
        return;
    case event_id::char_input:
        if (tab_navigation && param == 9)
            move_tab_focus();
        else if (is_eligible(focused_))
            fire_event(focused_, event_id::char_input, param);
        fire_event(this, event_id::char_input, param);
        return;
    case event_id::resized:
        root_.set_bounds(rect{0, 0, static_cast<int32_t>(param & 0xFFFFFFFFu), static_cast<int32_t>(param >> 32)},
                         true);
        fire_event(this, event_id::resized, 0);
        return;
    case event_id::focus_gained:
    case event_id::focus_lost:
        if (is_eligible(focused_))
            fire_event(focused_, record.id, 0);
        fire_event(this, record.id, 0);
        return;
    case event_id::drag_over: {
        widget* under = widget_under(record);
        if (is_eligible(under))
            fire_event(under, event_id::drag_over, param);
        return;
    }
    case event_id::ime:
        if (is_eligible(focused_))
            fire_event(focused_, event_id::ime, param);
        return;
    default:
        return;
    }
}

// BeginPaint and BeginDraw are taken by the first widget the update touches; whatever a paint
// handler throws, the draw and the paint are ended so the window can paint again.
class window::paint_session {
public:
    explicit paint_session(window& owner) : owner_(owner) {}
    ~paint_session()
    {
        if (began_) {
            auto* r = owner_.renderer_.get();
            r->drawing_stack().clear();
            r->offset() = point{};
            if (drawing_)
                r->end_draw();
            EndPaint(owner_.handle(), &paint_);
        }
        owner_.paint_origin_x_ = 0;
        owner_.paint_origin_y_ = 0;
        owner_.painting_ = nullptr;
    }
    paint_session(const paint_session&) = delete;
    paint_session& operator=(const paint_session&) = delete;

    // A render target that cannot be made is told as every failure of a window's handlers is: the window
    // would stay blank without a word. The next paint tries again.
    void begin()
    {
        if (began_)
            return;
        BeginPaint(owner_.handle(), &paint_);
        began_ = true;
        drawing_ = owner_.renderer_->begin_draw();
        if (!drawing_)
            throw qz_exception(owner_.renderer_->target_failure());
    }

private:
    window& owner_;
    PAINTSTRUCT paint_{};
    bool began_ = false;
    bool drawing_ = false;
};

void window::paint(widget* target, const rect& update)
{
    if (!renderer_ || !handle() || painting_)
        return;
    paint_session session(*this);
    painting_ = &session;
    paint_widget(target, update);
}

void window::paint_widget(widget* target, const rect& update)
{
    if (!target->is_visible(true))
        return;
    const rect& b = target->bounds_;
    paint_origin_x_ += b.x;
    paint_origin_y_ += b.y;
    struct origin_back {
        window& w;
        const rect& b;
        ~origin_back()
        {
            w.paint_origin_x_ -= b.x;
            w.paint_origin_y_ -= b.y;
        }
    } restore_origin{*this, b};

    int32_t left = paint_origin_x_;
    int32_t top = paint_origin_y_;
    int32_t right = left + b.width;
    int32_t bottom = top + b.height;
    if (update.x > right || update.x + update.width < left || update.y > bottom || update.y + update.height < top)
        return;

    painting_->begin();
    ui::renderer& r = *renderer_;
    point previous_offset = r.offset();
    // Clips nest as intersections: the update rectangle is clipped once, around the outermost widget.
    bool outermost = r.drawing_stack().empty();
    r.drawing_stack().push_back(target);
    if (outermost) {
        r.set_translation(0, 0);
        r.push_clip(update);
    }
    r.set_translation(previous_offset.x + b.x, previous_offset.y + b.y);
    r.push_clip(rect{0, 0, b.width, b.height});
    r.offset() = point{previous_offset.x + b.x, previous_offset.y + b.y};
    struct draw_back {
        ui::renderer& r;
        point previous_offset;
        bool outermost;
        ~draw_back()
        {
            r.offset() = previous_offset;
            r.pop_clip();
            if (outermost)
                r.pop_clip();
            r.set_translation(previous_offset.x, previous_offset.y);
            r.drawing_stack().pop_back();
        }
    } restore_draw{r, previous_offset, outermost};

    fire_event(target, event_id::paint);
    for (widget* child : std::vector<widget*>(target->children_))
        paint_widget(child, update);
}

void window::handle_paint()
{
    RECT pixels{};
    if (!GetUpdateRect(handle(), &pixels, FALSE)) {
        ValidateRect(handle(), nullptr);
        return;
    }
    // What the handlers asked to repaint while painting is dropped, as the validation drops it natively.
    struct validate_on_exit {
        HWND handle;
        ~validate_on_exit()
        {
            ValidateRect(handle, nullptr);
            invalidation_batch::forget(handle);
        }
    } validate{handle()};
    // Back to 96-dpi units, rounded outwards.
    int32_t left = holder_.to_units_x(pixels.left);
    int32_t top = holder_.to_units_y(pixels.top);
    int32_t right = -holder_.to_units_x(-pixels.right);
    int32_t bottom = -holder_.to_units_y(-pixels.bottom);
    paint(&root_, rect{left, top, right - left, bottom - top});
    if (renderer_ && renderer_->take_new_target()) {
        repaints_asked_ = 0;
        PostMessageW(handle(), repaint_again_message, 0, 0);
    }
}

// Under Wine the first present through a window's new target makes the drawable it shows through, and Wine
// then applies that to the window through a message of its own to this thread: frames presented before that
// message is handled can be lost, and the window stays black with nothing left to repaint until some input
// repaints it. Nothing tells the window when that message has been handled, so the whole window is painted
// again once the loop has handled what waits, and twice more a while later for a loaded machine. On Windows
// it costs three paints of a window just shown.
void window::repaint_again()
{
    KillTimer(handle(), repaint_again_timer_id);
    InvalidateRect(handle(), nullptr, FALSE);
    if (repaints_asked_ < std::size(repaint_again_later_ms))
        SetTimer(handle(), repaint_again_timer_id, repaint_again_later_ms[repaints_asked_], nullptr);
    ++repaints_asked_;
}

}  // namespace qzsdk::ui
