#include "toolkit/ui/input_inside_panel.h"

#include <windows.h>

#include <algorithm>

#include "toolkit/platform/text.h"
#include "toolkit/ui/clipboard_text.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/system_cursors.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {
namespace {

constexpr uint32_t blink_timer = 1;
constexpr uint32_t undo_capacity = 20;

enum menu_item : UINT { item_cut = 1, item_copy = 2, item_paste = 3, item_delete = 4, item_select_all = 5 };
constexpr UINT item_separator = 6;

bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool key_down(int key) { return (GetKeyState(key) & 0x8000) != 0; }
// AltGr arrives as Control with the right Alt key: it types characters.
bool control_down()
{
    return (key_down(VK_LCONTROL) || key_down(VK_RCONTROL) || key_down(VK_CONTROL)) && !key_down(VK_RMENU);
}
bool shift_down() { return key_down(VK_LSHIFT) || key_down(VK_RSHIFT) || key_down(VK_SHIFT); }

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

input_inside_panel::input_inside_panel() : menu_(CreatePopupMenu())
{
    if (menu_) {
        AppendMenuW(menu_, MF_STRING, item_cut, L"Cut");
        AppendMenuW(menu_, MF_STRING, item_copy, L"Copy");
        AppendMenuW(menu_, MF_STRING, item_paste, L"Paste");
        AppendMenuW(menu_, MF_STRING, item_delete, L"Delete");
        AppendMenuW(menu_, MF_SEPARATOR, item_separator, nullptr);
        AppendMenuW(menu_, MF_STRING, item_select_all, L"Select All");
    }
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

void input_inside_panel::restore_snapshot()
{
    text_ = undo_ring_[undo_position_ % undo_capacity];
    caret_ = static_cast<int32_t>(text_.size());
    selection_ = 0;
    composition_ = {};
    scroll_to_caret();
    fit_width();
}

void input_inside_panel::undo()
{
    if (undo_position_ == 0 || redo_count_ >= undo_capacity - 1)
        return;
    --undo_position_;
    ++redo_count_;
    restore_snapshot();
}

void input_inside_panel::redo()
{
    if (redo_count_ == 0)
        return;
    ++undo_position_;
    --redo_count_;
    restore_snapshot();
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

// ---- keyboard --------------------------------------------------------------------------------

void input_inside_panel::on_char(const event_info& info)
{
    const auto character = static_cast<wchar_t>(info.param);
    if (character == L'\r') {
        notify(event_id::activated, 0);
        return;
    }
    if (character == 27) {
        notify(event_id::cancelled, 0);
        return;
    }
    if (control_down())
        return;
    if (character == L'\b') {
        bool alive = selection_ != 0 ? delete_selection(true)
                     : caret_ > 0    ? erase(previous_boundary(caret_), caret_ - previous_boundary(caret_), true)
                                     : true;
        if (!alive)
            return;
    } else if (character != L'\t') {
        // A character beyond the first plane arrives as two messages: it goes in whole, never half.
        if (is_high_surrogate(character)) {
            pending_high_surrogate_ = character;
            return;
        }
        wchar_t pair[2] = {pending_high_surrogate_, character};
        const bool completes_pair = is_low_surrogate(character) && pending_high_surrogate_ != 0;
        pending_high_surrogate_ = 0;
        if (is_low_surrogate(character) && !completes_pair)
            return;
        std::wstring_view piece = completes_pair ? std::wstring_view(pair, 2) : std::wstring_view(&character, 1);
        if (!insert_typed(piece))
            return;
    }
    notify(event_id::char_input, 0);
}

void input_inside_panel::move_caret(int32_t target, bool extend)
{
    selection_ = extend ? selection_ + caret_ - target : 0;
    caret_ = target;
    keep_state_in_text();
    scroll_to_caret();
}

void input_inside_panel::on_key(const event_info& info)
{
    const bool control = control_down();
    const bool shift = shift_down();
    const auto length = static_cast<int32_t>(text_.size());
    switch (info.param) {
    case VK_ESCAPE: {
        select_all();
        if (!delete_selection(true))
            return;
        // The focus leaving fires 34, whose handler may destroy this panel.
        std::shared_ptr<bool> alive = alive_;
        if (window* owner = owner_window())
            owner->set_focus_widget(&owner->root(), 2);
        // The Escape character itself arrives after the focus has left: report the cancel here.
        if (*alive)
            notify(event_id::cancelled, 0);
        return;
    }
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_RIGHT: {
        if (info.param == VK_LEFT || info.param == VK_RIGHT)
            caret_on_ = true;
        int32_t target = info.param == VK_END    ? length
                         : info.param == VK_HOME ? 0
                         : info.param == VK_LEFT ? previous_boundary(caret_)
                                                 : next_boundary(caret_);
        if (target != caret_) {
            move_caret(target, shift);
        } else if (!shift) {
            selection_ = 0;
            invalidate(false);
        }
        return;
    }
    case VK_DELETE:
        if (selection_ != 0)
            delete_selection(true);
        else if (caret_ < length)
            erase(caret_, next_boundary(caret_) - caret_, true);
        return;
    default:
        break;
    }
    if (!control)
        return;
    switch (info.param) {
    case 'A':
        select_all();
        return;
    case 'C':
        copy();
        return;
    case 'V':
        paste();
        return;
    case 'X':
        cut();
        return;
    case 'Z':
        if (shift)
            redo();
        else
            undo();
        return;
    default:
        return;
    }
}

// ---- mouse -----------------------------------------------------------------------------------

void input_inside_panel::on_mouse_enter()
{
    SetCursor(system_cursors[cursor_ibeam]);
}

void input_inside_panel::on_mouse_leave()
{
    SetCursor(system_cursors[cursor_arrow]);
}

void input_inside_panel::on_mouse_down(const event_info& info)
{
    if (!focused_)
        return;
    if (info.param == 2) {
        show_context_menu();
        return;
    }
    if (info.param != 0)
        return;
    dragging_ = true;
    caret_on_ = true;
    selection_ = 0;
    set_captured_widget(this);

    advance_indices_.assign(1, 0);
    std::vector<float> clusters;
    if (ui::renderer* r = owner_window() ? owner_window()->renderer() : nullptr) {
        apply_font();
        clusters = r->cluster_widths(wide_to_utf8(text_));
    }
    std::vector<int32_t> starts{0};
    for (int32_t i = 0; i < static_cast<int32_t>(text_.size()); i = next_boundary(i))
        starts.push_back(next_boundary(i));
    if (clusters.size() == starts.size()) {
        advances_ = std::move(clusters);
        advance_indices_ = std::move(starts);
    } else {
        // Clusters that join several characters: measure each character's own advance instead.
        advances_.assign(1, 0.0f);
        advance_indices_ = starts;
        for (size_t k = 1; k < starts.size(); ++k)
            advances_.push_back(static_cast<float>(measure(std::wstring_view(text_).substr(0, starts[k])) -
                                                   measure(std::wstring_view(text_).substr(0, starts[k - 1]))));
    }

    const int32_t index = hit_test(cursor_position(this).x);
    if (index != caret_) {
        if (composition_.length > 0 && owner_window() && owner_window()->ime())
            owner_window()->ime()->complete_composition();
        caret_ = index;
        keep_state_in_text();
        scroll_to_caret();
    } else {
        invalidate(false);
    }
    anchor_ = caret_;
}

void input_inside_panel::on_mouse_up(const event_info& info)
{
    if (!focused_ || info.param != 0 || !dragging_)
        return;
    dragging_ = false;
    set_captured_widget(nullptr);
}

void input_inside_panel::on_double_click()
{
    if (focused_ && !text_.empty())
        select_all();
}

void input_inside_panel::on_mouse_move()
{
    if (!focused_ || !dragging_)
        return;
    caret_on_ = true;
    const int32_t index = hit_test(cursor_position(this).x);
    if (index == caret_)
        return;
    selection_ = anchor_ - index;
    caret_ = index;
    keep_state_in_text();
    scroll_to_caret();
}

void input_inside_panel::show_context_menu()
{
    window* owner = owner_window();
    if (!menu_ || !owner || !owner->handle())
        return;
    const UINT with_selection = selection_ != 0 ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu_, item_cut, MF_BYCOMMAND | with_selection);
    EnableMenuItem(menu_, item_copy, MF_BYCOMMAND | with_selection);
    EnableMenuItem(menu_, item_delete, MF_BYCOMMAND | with_selection);
    SetCursor(system_cursors[cursor_arrow]);
    POINT at{};
    GetCursorPos(&at);
    std::shared_ptr<bool> alive = alive_;
    const BOOL command = TrackPopupMenuEx(menu_, TPM_RETURNCMD, at.x, at.y, owner->handle(), nullptr);
    if (!*alive)
        return;
    SetCursor(system_cursors[cursor_ibeam]);
    switch (command) {
    case item_cut:
        cut();
        return;
    case item_copy:
        copy();
        return;
    case item_paste:
        paste();
        return;
    case item_delete:
        delete_selection(true);
        return;
    case item_select_all:
        select_all();
        return;
    default:
        return;
    }
}

// ---- focus, blink and composition ------------------------------------------------------------

void input_inside_panel::on_timer()
{
    if (!focused_)
        return;
    caret_on_ = !caret_on_;
    invalidate(false);
}

void input_inside_panel::on_focus(bool gained)
{
    window* owner = owner_window();
    ime_record* ime = owner ? owner->ime() : nullptr;
    if (gained) {
        set_timer(blink_timer, 500, false);
        caret_on_ = true;
        focused_ = true;
        invalidate(false);
        const point cursor = cursor_position(this);
        if (cursor.x >= 0 && cursor.y >= 0 && cursor.x < bounds().width && cursor.y < bounds().height)
            SetCursor(system_cursors[cursor_ibeam]);
        if (ime) {
            rect area{bounds().x + 36, bounds().y + 3, bounds().width, bounds().height};
            for (const widget* ancestor = parent(); ancestor; ancestor = ancestor->parent()) {
                area.x += ancestor->bounds().x;
                area.y += ancestor->bounds().y;
            }
            ime->caret = area;
            if (composition_.length > 0)
                ime->complete_composition();
            else
                ime->associate_default_context();
            ime->refresh_layout();
            ime->place_candidate_window();
        }
        notify(event_id::focus_gained, 1);
        return;
    }
    kill_timer(blink_timer);
    if (dragging_) {
        // The press that started the drag is not followed by a release this panel will hear.
        dragging_ = false;
        if (captured_widget() == this)
            set_captured_widget(nullptr);
    }
    if (ime) {
        if (composition_.length > 0)
            ime->complete_composition();
        ime->detach_context();
    }
    pending_high_surrogate_ = 0;
    caret_on_ = false;
    focused_ = false;
    invalidate(false);
    notify(event_id::focus_lost, 1);
}

// A composition whose start this panel missed (it took the focus meanwhile) begins at the caret.
void input_inside_panel::start_composition(const ime_record& ime)
{
    composition_ = {};
    composition_.started = true;
    composition_.start = static_cast<uint32_t>(caret_);
    composition_.language = ime.language();
}

void input_inside_panel::on_ime(const event_info& info)
{
    ime_record* ime = owner_window() ? owner_window()->ime() : nullptr;
    if (!ime || !delete_selection(true))
        return;
    switch (info.param) {
    case 0:
        start_composition(*ime);
        return;
    case 1:
        if (!composition_.started)
            start_composition(*ime);
        composition_.cursor = static_cast<uint32_t>(std::max(ime->cursor, 0));
        insert(ime->composition, true, false, 0);
        return;
    case 2: {
        if (!composition_.started)
            start_composition(*ime);
        composition_.cursor = static_cast<uint32_t>(std::max(ime->cursor, 0));
        std::shared_ptr<bool> alive = alive_;
        insert(ime->composition, true, true, 0);
        if (*alive)
            composition_ = {};
        return;
    }
    default:
        return;
    }
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
