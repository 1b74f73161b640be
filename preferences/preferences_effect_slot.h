#pragma once
// One record of a preferences list as a row: effect name, number, alias or label and override columns,
// small buttons that remove or clear parts of the record, and the press that starts a drag.
#include "popup/effects_theme.h"
#include "preferences/preferences_row_geometry.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/event_info.h"
#include "toolkit/ui/widget.h"

#include <cstdint>

class PreferencesListEvents;
class PreferencesRowDrag;
class PreferencesRecordList;

class PreferencesEffectSlot : public qzsdk::ui::widget {
public:
    PreferencesEffectSlot(const EffectsTheme* theme, PreferencesRowDrag* panel, PreferencesListEvents* owner,
                          PreferencesRecordList* list, uint64_t index, PreferencesColumns columns);
    ~PreferencesEffectSlot() override;

    // The alias popup for this row's favourite; stores an accepted alias.
    void EditAlias();
    void ApplyTheme(const EffectsTheme* theme);

    PreferencesRowDrag* panel() const { return panel_; }
    PreferencesRecordList* list() const { return list_; }
    uint64_t index() const { return index_; }
    const PreferencesColumns& columns() const { return columns_; }
    bool has_target() const;
    bool is_dragging() const { return dragging_; }
    // The drag ends without a drop: the panel is rebuilt under it.
    void CancelDrag();

    qzsdk::ui::generic_button remove_button;
    qzsdk::ui::generic_button clear_label_button;
    qzsdk::ui::generic_button clear_override_button;

private:
    friend class PreferencesEffectSlotTestApi;

    void OnAttached();
    void OnPaint();
    void OnHover(bool inside);
    void OnMouseMove();
    void OnMouseDown(const qzsdk::ui::event_info& info);
    void OnMouseUp(const qzsdk::ui::event_info& info);
    void OnResized();
    void OnButtonUp(const qzsdk::ui::event_info& info);
    void PlaceButtons();

    const EffectsTheme* theme_;
    PreferencesRowDrag* panel_;
    PreferencesListEvents* owner_;
    PreferencesRecordList* list_;
    uint64_t index_;
    PreferencesColumns columns_;
    bool hovered_ = false;
    bool dragging_ = false;
    bool pressed_ = false;
    bool override_hot_ = false;
    bool label_hot_ = false;
    qzsdk::ui::point press_point_;
};
