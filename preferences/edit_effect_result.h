#pragma once
#include "popup/effect_entry.h"

#include <cstdint>
#include <string>

// The effect picker's answer, read by its opener after the popup ended with 1.
struct EditEffectResult {
    uint64_t slot_index = UINT64_MAX;
    // Null when only a label was confirmed.
    const EffectEntry* entry = nullptr;
    std::string label;
    uint32_t label_only = 0;
};
