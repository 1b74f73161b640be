#pragma once
// One of the preferences window's three lists as scrolling rows, with an optional add row, column grid
// lines, and reordering by dragging a row: a ghost of the row follows the cursor, a marker shows where
// it lands. The panel owns the rows but not the list.
#include "popup/effects_scroll_bar.h"
#include "popup/effects_theme.h"
#include "preferences/preferences_effect_drag.h"
#include "preferences/preferences_effect_new.h"
#include "preferences/preferences_effect_slot.h"
#include "preferences/preferences_row_drag.h"
#include "preferences/preferences_row_geometry.h"
#include "toolkit/ui/flow_panel.h"
#include "toolkit/ui/generic_panel.h"
#include "toolkit/ui/widget.h"
#include "toolkit/ui/window.h"

#include <memory>
#include <vector>

class PreferencesListEvents;
class PreferencesRecordList;

class PreferencesEffectsScrollPanel : public qzsdk::ui::widget, public PreferencesRowDrag {
public:
    PreferencesEffectsScrollPanel(PreferencesListEvents* owner, PreferencesRecordList* list, bool has_new_row,
                                  const EffectsTheme* theme);
    ~PreferencesEffectsScrollPanel() override;

    // Makes every row again from the list; a drag in progress ends without a drop.
    void Rebuild();
    void ApplyTheme(const EffectsTheme* theme);
    // Erases the row's record and rebuilds; a row of another panel, or one already gone, changes nothing.
    void RemoveRow(PreferencesEffectSlot* row);

    void BeginDrag(PreferencesEffectSlot* row, qzsdk::ui::point press_point) override;
    void UpdateDrag(bool from_move) override;
    void DropRow(PreferencesEffectSlot* row) override;

    PreferencesRecordList* list() const { return list_; }
    const std::vector<std::unique_ptr<PreferencesEffectSlot>>& rows() const { return rows_; }
    PreferencesEffectNew* new_row() const { return new_row_.get(); }
    EffectsScrollBar& scroll_bar() { return scroll_bar_; }
    int32_t drop_index() const { return drop_index_; }
    const qzsdk::ui::window& marker() const { return marker_; }
    PreferencesEffectDrag& drag_window() { return drag_window_; }

    // Set by the owner before the panel is attached.
    bool show_label_column = false;
    bool show_number_column = false;
    bool show_override_column = false;
    bool show_scroll_bar = true;

private:
    void OnAttached();
    void PaintGrid();
    void EndDrag();
    PreferencesColumns columns() const { return {show_label_column, show_number_column, show_override_column}; }

    const EffectsTheme* theme_;
    std::vector<std::unique_ptr<PreferencesEffectSlot>> rows_;
    PreferencesRecordList* list_;
    bool has_new_row_;
    // Declared before the rows' container so that the rows die first.
    std::unique_ptr<PreferencesEffectNew> new_row_;
    qzsdk::ui::generic_panel frame_;
    qzsdk::ui::flow_panel content_{qzsdk::ui::flow_panel::vertical, true, true, true};
    EffectsScrollBar scroll_bar_;
    PreferencesEffectDrag drag_window_;
    PreferencesListEvents* owner_;
    qzsdk::ui::window marker_;
    int32_t drop_index_ = -1;
    PreferencesEffectSlot* dragged_ = nullptr;
};
