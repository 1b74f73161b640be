#pragma once
// The editing part of an input box: text, caret, selection, undo ring, context menu and composed
// (IME) input. It slides sideways inside its parent to keep the caret visible, and reports every
// change on the input box that holds it (its parent's parent).
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/ui/event_info.h"
#include "toolkit/ui/ime_record.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

class input_inside_panel : public widget {
public:
    input_inside_panel();
    ~input_inside_panel() override;

    // Replaces the whole text; fires 37 with flag 1.
    void set_text(std::string_view text);
    void set_placeholder(std::string_view text, bool when_focused);
    std::string get_text() const;
    const std::wstring& text() const { return text_; }
    int32_t caret() const { return caret_; }
    int32_t selection() const { return selection_; }
    void scroll_to_caret();
    // Caret at the end, selection back to the start.
    void select_all();
    // Widens the panel to the text (plus slack) and slides a long text's end to the right edge.
    void fit_width();

    // The most UTF-16 units the text may hold.
    uint64_t max_length = UINT64_MAX;

private:
    friend class input_inside_panel_test_api;

    struct composition_state {
        uint32_t start = 0;
        uint32_t length = 0;
        uint32_t cursor = 0;
        rect area;
        ime_language language = ime_language::other;
        bool started = false;
    };

    void on_attached();
    void on_paint();
    void on_timer();
    void on_parent_resized(const event_info& info);
    void on_char(const event_info& info);
    void on_key(const event_info& info);
    void on_mouse_enter();
    void on_mouse_leave();
    void on_mouse_down(const event_info& info);
    void on_mouse_up(const event_info& info);
    void on_double_click();
    void on_mouse_move();
    void on_focus(bool gained);
    void on_ime(const event_info& info);
    void start_composition(const ime_record& ime);

    // Each returns false when a handler of the event it fired destroyed this panel.
    bool notify(uint32_t id, uint32_t flag);
    bool insert(std::wstring piece, bool composition, bool fire, uint32_t flag);
    bool erase(int32_t index, int32_t count, bool fire);
    bool delete_selection(bool fire);
    bool insert_typed(std::wstring_view piece);
    bool paste();
    bool cut();
    void copy();
    void push_undo();
    bool restore_snapshot();
    bool undo();
    bool redo();
    void move_caret(int32_t target, bool extend);
    static HMENU make_context_menu();
    void show_context_menu();

    ui::property_bag& style() const;
    void apply_font() const;
    text_extent measure_extent(std::wstring_view piece) const;
    int32_t measure(std::wstring_view piece) const;
    int32_t hit_test(int32_t x) const;
    int32_t previous_boundary(int32_t index) const;
    int32_t next_boundary(int32_t index) const;
    void keep_state_in_text();

    int32_t slack_ = 10;
    composition_state composition_;
    std::wstring placeholder_;
    bool placeholder_when_focused_ = false;
    std::wstring text_;
    bool caret_on_ = false;
    bool focused_ = false;
    bool dragging_ = false;
    int32_t caret_x_ = 0;
    int32_t caret_ = 0;
    int32_t selection_ = 0;
    int32_t anchor_ = 0;
    rect visible_rect_;
    // Left edge of every UTF-16 index a click can land on, as measured at the last press.
    std::vector<float> advances_;
    std::vector<int32_t> advance_indices_;
    std::array<std::wstring, 20> undo_ring_;
    uint32_t undo_position_ = 0;
    uint32_t redo_count_ = 0;
    wchar_t pending_high_surrogate_ = 0;
    HMENU menu_ = nullptr;
    // Cleared by the destructor: lets a caller learn that a handler destroyed the panel.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qzsdk::ui
