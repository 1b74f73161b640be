#pragma once
// The half-transparent copy of a dragged row that follows the cursor.
#include "preferences/preferences_record_list.h"
#include "preferences/preferences_row_geometry.h"
#include "toolkit/ui/rect.h"
#include "toolkit/ui/window.h"

class PreferencesEffectSlot;

class PreferencesEffectDrag : public qzsdk::ui::window {
public:
    PreferencesEffectDrag();
    ~PreferencesEffectDrag() override;

    // Shows the ghost of the row's record over the row's screen rectangle (96-dpi units); the grab point is
    // where it was pressed.
    void Take(PreferencesEffectSlot* row, const PreferencesRecordList* list, uint64_t index, PreferencesColumns columns,
              const qzsdk::ui::rect& screen_bounds, qzsdk::ui::point grab_point);
    // Keeps the grab point under the cursor, right behind the window `behind` (HWND_TOPMOST: in front of all).
    void Follow(qzsdk::ui::point cursor, HWND behind);
    void Drop();
    PreferencesEffectSlot* row() const { return row_; }

private:
    void OnPaint();

    PreferencesEffectSlot* row_ = nullptr;
    const PreferencesRecordList* list_ = nullptr;
    uint64_t index_ = 0;
    PreferencesColumns columns_;
    qzsdk::ui::rect bounds_;
    qzsdk::ui::point grab_point_;
};

// Moves a toolkit window to a rectangle in 96-dpi screen units in front of every other window (or right behind
// `behind`), without activating it; shown also shows it natively (the caller keeps the toolkit's visible state).
void PlaceOnScreen(qzsdk::ui::window& target, const qzsdk::ui::rect& units, bool shown, HWND behind = HWND_TOPMOST);
// An unowned helper window shown during a drag gets no taskbar button of its own.
void KeepOffTaskbar(qzsdk::ui::window& target);
