#pragma once
// What tests read of the popup beyond its public face, and how they reach its widgets.
#include "popup/effects_popup_window.h"

class EffectsPopupWindowTestApi {
public:
    explicit EffectsPopupWindowTestApi(EffectsPopupWindow& popup) : popup_(popup) {}

    // A news server that refuses at once, so that no test waits on the network.
    static NewsServer refusing_news_server()
    {
        NewsServer refusing;
        refusing.host = "127.0.0.1:1";
        return refusing;
    }

    // Puts the text into the search box, which runs the search as typing would.
    void Search(std::string_view text) { popup_.search_box_.inside.set_text(text); }

    std::vector<ResultLine> result() const { return result_lines(popup_.found_, popup_.search_box_.get_text()); }
    bool has_layer() const { return popup_.has_layer_; }
    const std::string& project_name() const { return popup_.project_name_; }
    const std::string& comp_name() const { return popup_.comp_name_; }
    const std::string& layer_name() const { return popup_.layer_name_; }
    size_t row_count() const { return popup_.RowCount(); }
    // The row widget that shows the found row, null when that row is out of view.
    EffectSlot* row(size_t index) const { return popup_.RowWidget(index); }
    size_t selected() const { return popup_.selected_; }
    size_t row_widget_count() const { return popup_.rows_.size(); }
    // The "Effects" header, or "No Matches" when the search found nothing; null when neither is shown.
    HeaderSlot* effects_header() const
    {
        return popup_.effects_header_.is_visible(false) ? &popup_.effects_header_ : nullptr;
    }
    qzsdk::ui::input_box& search_box() { return popup_.search_box_; }
    EffectsShortcutsBar& shortcuts_bar() { return popup_.shortcuts_bar_; }
    EffectsScrollBar& scroll_bar() { return popup_.scroll_bar_; }
    qzsdk::ui::generic_button& badge() { return popup_.badge_button_; }
    qzsdk::ui::generic_button& screenshot_button() { return popup_.screenshot_button_; }
    qzsdk::ui::generic_panel& list_container() { return popup_.list_container_; }
    bool news_timer_running() const { return popup_.holder().timers.count(timer_id(popup_timer::news_poll)) != 0; }
    float flash() const { return popup_.flash_; }

    // The parts of a keystroke's work after the search, one at a time, for the benchmark.
    // Every pooled row comes to show another entry, as after a key that changed the whole view.
    void RebindRows()
    {
        for (auto& row : popup_.rows_)
            row->show_entry(nullptr, false, false);
        popup_.UnbindRows();
        popup_.ShowRowsInView();
    }
    int32_t LayOutList() { return popup_.LayOutList(); }
    void ResizeToList(int32_t height) { popup_.ResizeToList(height); }

private:
    // The native timer behind a root-widget timer, or 0.
    uint32_t timer_id(uint32_t widget_timer) const
    {
        for (const auto& [native, timer] : popup_.holder().timers)
            if (timer.target == &popup_.root() && timer.timer_id == widget_timer)
                return native;
        return 0xFFFFFFFEu;
    }

    EffectsPopupWindow& popup_;
};
