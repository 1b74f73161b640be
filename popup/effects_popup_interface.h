#pragma once
#include "popup/effect_entry.h"

#include <cstdint>

class EffectSlot;

// What a result row may ask of the window that lists it (its context menu and its hover).
class EffectsPopupInterface {
public:
    virtual void AddToList(const EffectEntry* entry, bool blacklist) = 0;
    virtual void CreateShortcut(const EffectEntry* entry) = 0;
    virtual void ReplaceShortcut(const EffectEntry* entry, uint64_t slot) = 0;
    // Un-highlights the row selected before (unless it is this one) and remembers this one, or none.
    virtual void SetSelectedSlot(EffectSlot* slot) = 0;

protected:
    // Never deleted through the interface.
    ~EffectsPopupInterface() = default;
};
