#pragma once
// The first catalogue entry for each trimmed match name, built once for reading a list file.
#include "popup/effect_entry.h"

#include <string_view>
#include <unordered_map>
#include <vector>

class EntryIndex {
public:
    // The entries must outlive the index.
    explicit EntryIndex(const std::vector<EffectEntry>& entries);

    // The first entry whose trimmed match name equals the name byte for byte, or null.
    const EffectEntry* find(std::string_view name) const;

private:
    std::unordered_map<std::string_view, const EffectEntry*> first_;
};
