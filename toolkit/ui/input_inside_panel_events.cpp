// The panel's input handlers: keyboard, mouse, context menu, focus and composed input.
#include <windows.h>

#include <algorithm>

#include "toolkit/platform/text.h"
#include "toolkit/ui/event_id.h"
#include "toolkit/ui/input_inside_panel.h"
#include "toolkit/ui/system_cursors.h"
#include "toolkit/ui/utf16_units.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {
namespace {

constexpr uint32_t blink_timer = 1;

enum menu_item : UINT { item_cut = 1, item_copy = 2, item_paste = 3, item_delete = 4, item_select_all = 5 };
constexpr UINT item_separator = 6;

bool key_down(int key) { return (GetKeyState(key) & 0x8000) != 0; }
// AltGr arrives as Control with the right Alt key: it types characters.
bool control_down()
{
    return (key_down(VK_LCONTROL) || key_down(VK_RCONTROL) || key_down(VK_CONTROL)) && !key_down(VK_RMENU);
}
bool shift_down() { return key_down(VK_LSHIFT) || key_down(VK_RSHIFT) || key_down(VK_SHIFT); }

}  // namespace

HMENU input_inside_panel::make_context_menu()
{
    HMENU menu = CreatePopupMenu();
    if (menu) {
        AppendMenuW(menu, MF_STRING, item_cut, L"Cut");
        AppendMenuW(menu, MF_STRING, item_copy, L"Copy");
        AppendMenuW(menu, MF_STRING, item_paste, L"Paste");
        AppendMenuW(menu, MF_STRING, item_delete, L"Delete");
        AppendMenuW(menu, MF_SEPARATOR, item_separator, nullptr);
        AppendMenuW(menu, MF_STRING, item_select_all, L"Select All");
    }
    return menu;
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
            const point origin = window_position();
            rect area{origin.x + 36, origin.y + 3, bounds().width, bounds().height};
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

}  // namespace qzsdk::ui
