#include "toolkit/ui/input_inside_panel.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "toolkit/platform/text.h"
#include "toolkit/ui/clipboard_text.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/utf16_units.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {
namespace {

constexpr uint32_t undo_capacity = 20;

color inverse(const color& c) { return {1 - c.r, 1 - c.g, 1 - c.b, 1}; }

// Cuts the text to at most `room` units without splitting a surrogate pair.
void cut_to_room(std::wstring& piece, uint64_t room)
{
    if (piece.size() <= room)
        return;
    size_t end = static_cast<size_t>(room);
    if (end > 0 && is_high_surrogate(piece[end - 1]))
        --end;
    piece.resize(end);
    MessageBeep(0);
}

}  // namespace

input_inside_panel::input_inside_panel() : menu_(make_context_menu())
{
    connect_member(this, event_id::attached, &input_inside_panel::on_attached, this);
}

input_inside_panel::~input_inside_panel()
{
    *alive_ = false;
    if (dragging_ && captured_widget() == this)
        set_captured_widget(nullptr);
    if (menu_)
        DestroyMenu(menu_);
}

void input_inside_panel::on_attached()
{
    slack_ = bounds().height * 2;
    visible_rect_ = bounds();
    connect_member(this, event_id::paint, &input_inside_panel::on_paint, this);
    connect_member(this, event_id::timer, &input_inside_panel::on_timer, this);
    connect_member_info(this, event_id::parent_resized, &input_inside_panel::on_parent_resized, this);
    connect_member_info(this, event_id::char_input, &input_inside_panel::on_char, this);
    connect_member_info(this, event_id::key_down, &input_inside_panel::on_key, this);
    connect_member(this, event_id::mouse_enter, &input_inside_panel::on_mouse_enter, this);
    connect_member(this, event_id::mouse_leave, &input_inside_panel::on_mouse_leave, this);
    connect_member_info(this, event_id::mouse_down, &input_inside_panel::on_mouse_down, this);
    connect_member_info(this, event_id::mouse_up, &input_inside_panel::on_mouse_up, this);
    connect_member(this, event_id::mouse_double_click, &input_inside_panel::on_double_click, this);
    connect_member(this, event_id::mouse_move, &input_inside_panel::on_mouse_move, this);
    event_manager::instance().connect(this, this, event_id::capture_lost, [this](const event_info&) { dragging_ = false; });
    event_manager::instance().connect(this, this, event_id::focus_gained, [this](const event_info&) { on_focus(true); });
    event_manager::instance().connect(this, this, event_id::focus_lost, [this](const event_info&) { on_focus(false); });
    connect_member_info(this, event_id::ime, &input_inside_panel::on_ime, this);
}

bool input_inside_panel::notify(uint32_t id, uint32_t flag)
{
    widget* box = parent() ? parent()->parent() : nullptr;
    if (!box)
        return true;
    std::shared_ptr<bool> alive = alive_;
    event_manager::instance().fire(box, id, 2, flag, 0);
    return *alive;
}

// ---- text operations -------------------------------------------------------------------------

void input_inside_panel::set_text(std::string_view text)
{
    select_all();
    delete_selection(false);
    if (!insert(utf8_to_wide(text), false, true, 1))
        return;
    caret_on_ = false;
}

void input_inside_panel::set_placeholder(std::string_view text, bool when_focused)
{
    placeholder_ = utf8_to_wide(text);
    placeholder_when_focused_ = when_focused;
    invalidate(false);
}

std::string input_inside_panel::get_text() const
{
    return wide_to_utf8(text_);
}

void input_inside_panel::keep_state_in_text()
{
    const auto length = static_cast<int32_t>(text_.size());
    caret_ = std::clamp(caret_, 0, length);
    selection_ = std::clamp(selection_, -caret_, length - caret_);
    anchor_ = std::clamp(anchor_, 0, length);
}

bool input_inside_panel::insert(std::wstring piece, bool composition, bool fire, uint32_t flag)
{
    std::erase(piece, L'\r');
    std::erase(piece, L'\n');
    const uint64_t replaced = composition ? composition_.length : 0;
    // The composition being replaced makes room for its successor.
    const uint64_t kept = text_.size() - std::min<uint64_t>(replaced, text_.size());
    cut_to_room(piece, max_length > kept ? max_length - kept : 0);
    if (composition) {
        const size_t start = std::min<size_t>(composition_.start, text_.size());
        const size_t count = std::min<size_t>(composition_.length, text_.size() - start);
        text_.replace(start, count, piece);
        composition_.start = static_cast<uint32_t>(start);
        composition_.length = static_cast<uint32_t>(piece.size());
        ime_record* ime = owner_window() ? owner_window()->ime() : nullptr;
        const uint32_t cursor = ime ? static_cast<uint32_t>(std::max(ime->cursor, 0)) : composition_.length;
        caret_ = static_cast<int32_t>(start + std::min(cursor, composition_.length));
        // An empty composition still has the line's height.
        const text_extent size = measure_extent(piece.empty() ? std::wstring_view(L" ") : std::wstring_view(piece));
        composition_.area = {measure(std::wstring_view(text_).substr(0, start)), 0,
                             piece.empty() ? 0 : static_cast<int32_t>(size.width), static_cast<int32_t>(size.height)};
        composition_.area.y = (bounds().height - composition_.area.height) / 2;
    } else {
        const size_t at = std::min<size_t>(static_cast<size_t>(caret_), text_.size());
        text_.insert(at, piece);
        caret_ = static_cast<int32_t>(at + piece.size());
    }
    keep_state_in_text();
    scroll_to_caret();
    fit_width();
    push_undo();
    return !fire || notify(event_id::value_changed, flag);
}

bool input_inside_panel::erase(int32_t index, int32_t count, bool fire)
{
    const auto length = static_cast<int32_t>(text_.size());
    index = std::clamp(index, 0, length);
    count = std::clamp(count, 0, length - index);
    text_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    // A caret inside the erased range lands at its start, never before it.
    if (caret_ > index)
        caret_ = std::max(index, caret_ - count);
    keep_state_in_text();
    scroll_to_caret();
    fit_width();
    push_undo();
    return !fire || notify(event_id::value_changed, 0);
}

bool input_inside_panel::delete_selection(bool fire)
{
    if (selection_ == 0)
        return true;
    const int32_t start = std::min(caret_, caret_ + selection_);
    const int32_t count = std::abs(selection_);
    selection_ = 0;
    invalidate(false);
    return erase(start, count, fire);
}

bool input_inside_panel::insert_typed(std::wstring_view piece)
{
    if (!delete_selection(true))
        return false;
    return insert(std::wstring(piece), false, true, 0);
}

void input_inside_panel::select_all()
{
    if (text_.empty())
        return;
    caret_ = static_cast<int32_t>(text_.size());
    selection_ = -caret_;
    scroll_to_caret();
}

void input_inside_panel::copy()
{
    if (selection_ == 0)
        return;
    const int32_t start = std::min(caret_, caret_ + selection_);
    copy_text_to_clipboard(std::wstring_view(text_).substr(static_cast<size_t>(start), std::abs(selection_)));
}

bool input_inside_panel::cut()
{
    copy();
    return delete_selection(true);
}

bool input_inside_panel::paste()
{
    std::optional<std::wstring> pasted = text_from_clipboard();
    if (!pasted)
        return true;
    if (!delete_selection(true))
        return false;
    if (!insert(std::move(*pasted), false, true, 0))
        return false;
    scroll_to_caret();
    return true;
}

// ---- undo ----------------------------------------------------------------------------------

void input_inside_panel::push_undo()
{
    ++undo_position_;
    undo_ring_[undo_position_ % undo_capacity] = text_;
    redo_count_ = 0;
}

// Undo and redo change the text as the user asked: listeners hear it like any other change.
bool input_inside_panel::restore_snapshot()
{
    const std::wstring previous = std::exchange(text_, undo_ring_[undo_position_ % undo_capacity]);
    caret_ = static_cast<int32_t>(text_.size());
    selection_ = 0;
    composition_ = {};
    scroll_to_caret();
    fit_width();
    return text_ == previous || notify(event_id::value_changed, 0);
}

bool input_inside_panel::undo()
{
    if (undo_position_ == 0 || redo_count_ >= undo_capacity - 1)
        return true;
    --undo_position_;
    ++redo_count_;
    return restore_snapshot();
}

bool input_inside_panel::redo()
{
    if (redo_count_ == 0)
        return true;
    ++undo_position_;
    --redo_count_;
    return restore_snapshot();
}

// ---- geometry --------------------------------------------------------------------------------

ui::property_bag& input_inside_panel::style() const
{
    widget* box = parent() ? parent()->parent() : nullptr;
    return box ? box->properties : const_cast<input_inside_panel*>(this)->properties;
}

void input_inside_panel::apply_font() const
{
    ui::renderer* r = owner_window() ? owner_window()->renderer() : nullptr;
    if (!r)
        return;
    const property_bag& bag = style();
    // The stored name may carry its terminating zero.
    const std::string family = bag.get_string("input_font_name");
    r->set_font(std::string_view(family.c_str()), bag.get_float("input_font_size"),
                static_cast<uint32_t>(bag.get_int("input_font_weight")),
                static_cast<uint32_t>(bag.get_int("input_font_style")));
}

text_extent input_inside_panel::measure_extent(std::wstring_view piece) const
{
    ui::renderer* r = owner_window() ? owner_window()->renderer() : nullptr;
    if (!r || piece.empty())
        return {};
    apply_font();
    return r->measure_text(wide_to_utf8(piece));
}

int32_t input_inside_panel::measure(std::wstring_view piece) const
{
    return static_cast<int32_t>(measure_extent(piece).width);
}

void input_inside_panel::scroll_to_caret()
{
    caret_x_ = measure(std::wstring_view(text_).substr(0, static_cast<size_t>(caret_)));
    rect b = bounds();
    if (b.x + caret_x_ < 0)
        b.x = -caret_x_;
    else if (b.x + caret_x_ > visible_rect_.width)
        b.x = visible_rect_.width - caret_x_;
    if (!(b == bounds()))
        set_bounds(b);
    invalidate(false);
}

void input_inside_panel::fit_width()
{
    const int32_t text_width = measure(text_);
    rect b = bounds();
    if (slack_ + text_width > b.width)
        b.width = slack_ + text_width;
    else if (visible_rect_.width > slack_ + text_width)
        b.width = visible_rect_.width;
    if (text_width > visible_rect_.width)
        b.x = visible_rect_.width - text_width;
    else if (b.x < visible_rect_.x)
        b.x = visible_rect_.x;
    if (!(b == bounds()))
        set_bounds(b);
    caret_on_ = true;
    invalidate(false);
}

void input_inside_panel::on_parent_resized(const event_info& info)
{
    if (!parent())
        return;
    const auto old_width = static_cast<int32_t>(info.param & 0xFFFFFFFFu);
    const auto old_height = static_cast<int32_t>(info.param >> 32);
    const int32_t dw = parent()->bounds().width - old_width;
    const int32_t dh = parent()->bounds().height - old_height;
    visible_rect_.width += dw;
    visible_rect_.height += dh;
    rect b = bounds();
    b.width += dw;
    b.height += dh;
    set_bounds(b);
}

int32_t input_inside_panel::previous_boundary(int32_t index) const
{
    if (index <= 0)
        return 0;
    --index;
    if (index > 0 && is_low_surrogate(text_[static_cast<size_t>(index)]) &&
        is_high_surrogate(text_[static_cast<size_t>(index - 1)]))
        --index;
    return index;
}

int32_t input_inside_panel::next_boundary(int32_t index) const
{
    const auto length = static_cast<int32_t>(text_.size());
    if (index >= length)
        return length;
    if (index + 1 < length && is_high_surrogate(text_[static_cast<size_t>(index)]) &&
        is_low_surrogate(text_[static_cast<size_t>(index + 1)]))
        return index + 2;
    return index + 1;
}

// Advances come from DirectWrite's clusters; each cluster is mapped to the UTF-16 index it starts at,
// so a click never lands inside a surrogate pair.
int32_t input_inside_panel::hit_test(int32_t x) const
{
    x = std::max(x, 0);
    float left = 0;
    size_t index = advances_.size();
    for (size_t i = 0; i < advances_.size(); ++i) {
        const float right = left + advances_[i];
        if (static_cast<int32_t>(right + 0.5f) >= x) {
            index = i;
            if (index > 0 && advances_[i] / 2 > static_cast<float>(x) - left)
                --index;
            break;
        }
        left = right;
    }
    if (index >= advance_indices_.size())
        return static_cast<int32_t>(text_.size());
    return std::clamp(advance_indices_[index], 0, static_cast<int32_t>(text_.size()));
}

// ---- paint -----------------------------------------------------------------------------------

void input_inside_panel::on_paint()
{
    window* owner = owner_window();
    ui::renderer* r = owner ? owner->renderer() : nullptr;
    if (!r)
        return;
    const property_bag& bag = style();
    const int32_t width = bounds().width;
    const int32_t height = bounds().height;
    const color caret_color = inverse(bag.get_color("default_back_color"));

    if (focused_ && selection_ != 0) {
        const int32_t other = measure(std::wstring_view(text_).substr(0, static_cast<size_t>(caret_ + selection_)));
        r->set_fill_color(bag.get_color("input_selection_color"));
        r->fill_rect(rect{std::min(caret_x_, other), 0, std::abs(caret_x_ - other), height});
    }
    const bool composing = composition_.length > 0;
    if (caret_on_ && focused_ && selection_ == 0 && !(composing && composition_.language == ime_language::korean)) {
        r->set_line_color(caret_color);
        r->set_stroke(1.0f, stroke_mode::solid);
        r->set_antialiased_outlines(false);
        r->draw_line(caret_x_ + 0.5f, 0.5f, caret_x_ + 0.5f, height + 0.5f);
    }
    if (composing) {
        const rect& area = composition_.area;
        if (composition_.language == ime_language::japanese) {
            r->set_line_color(caret_color);
            r->set_stroke(1.0f, stroke_mode::solid);
            r->set_antialiased_outlines(false);
            const float y = static_cast<float>(area.y + area.height) - 0.5f;
            r->draw_line(static_cast<float>(area.x), y, static_cast<float>(area.x + area.width), y);
        } else if (composition_.language == ime_language::korean) {
            r->set_fill_color(bag.get_color(caret_on_ ? "input_ime_cursor_color" : "input_ime_block_color"));
            r->fill_rect(area);
        }
    }
    apply_font();
    if (text_.empty()) {
        if (placeholder_when_focused_ || !focused_) {
            r->set_text_color(bag.get_color("input_font_default_text_color"));
            r->draw_text(rect{0, 0, width, height}, wide_to_utf8(placeholder_));
        }
        return;
    }
    std::vector<text_style_range> ranges;
    if (!is_enabled(true)) {
        r->set_text_color(bag.get_color("input_font_default_text_color"));
    } else {
        r->set_text_color(bag.get_color("input_font_color"));
        if (focused_ && selection_ != 0) {
            text_style_range selected;
            selected.weight = static_cast<uint32_t>(bag.get_int("input_font_weight"));
            selected.style = static_cast<uint32_t>(bag.get_int("input_font_style"));
            selected.family = std::string(bag.get_string("input_font_name").c_str());
            selected.size = bag.get_float("input_font_size");
            selected.start = static_cast<uint32_t>(std::min(caret_, caret_ + selection_));
            selected.length = static_cast<uint32_t>(std::abs(selection_));
            selected.color = bag.get_color("input_font_color_selected");
            ranges.push_back(selected);
        }
    }
    r->draw_text(rect{0, 0, width, height}, wide_to_utf8(text_), ranges);
}

}  // namespace qzsdk::ui
