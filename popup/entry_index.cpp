#include "popup/entry_index.h"

#include "toolkit/platform/text.h"

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && qzsdk::is_ascii_space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && qzsdk::is_ascii_space(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

EntryIndex::EntryIndex(const std::vector<EffectEntry>& entries)
{
    first_.reserve(entries.size());
    for (const EffectEntry& entry : entries)
        first_.try_emplace(trimmed(entry.match_name), &entry);
}

const EffectEntry* EntryIndex::find(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    auto found = first_.find(name);
    return found == first_.end() ? nullptr : found->second;
}
