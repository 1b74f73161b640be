#pragma once
#include "popup/effect_entry.h"

#include <cstdint>

// What a result row may ask of the window that lists it (its context menu).
class EffectsPopupInterface {
public:
    virtual void AddToList(const EffectEntry* entry, bool blacklist) = 0;
    virtual void CreateShortcut(const EffectEntry* entry) = 0;
    virtual void ReplaceShortcut(const EffectEntry* entry, uint64_t slot) = 0;

protected:
    // Never deleted through the interface.
    ~EffectsPopupInterface() = default;
};
