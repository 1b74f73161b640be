#pragma once
// What a list row asks of the panel that holds it while the row is pressed and dragged.
#include "toolkit/ui/rect.h"

class PreferencesEffectSlot;

class PreferencesRowDrag {
public:
    virtual void BeginDrag(PreferencesEffectSlot* row, qzsdk::ui::point press_point) = 0;
    virtual void UpdateDrag(bool from_move) = 0;
    virtual void DropRow(PreferencesEffectSlot* row) = 0;

protected:
    ~PreferencesRowDrag() = default;
};
