#include "popup/effect_search.h"

#include "toolkit/platform/text.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

// Offset of query in text, or npos. A one-byte query, the commonest while typing, goes straight to memchr.
size_t find_in(std::string_view text, std::string_view query)
{
    if (query.size() == 1) {
        const void* hit = std::memchr(text.data(), query[0], text.size());
        return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : std::string_view::npos;
    }
    return text.find(query);
}

}  // namespace

void EffectSearch::begin(size_t entry_count)
{
    if (marks_.size() != entry_count || ++stamp_ == 0) {
        marks_.assign(entry_count, 0);
        stamp_ = 1;
    }
}

bool EffectSearch::take(const std::vector<EffectEntry>& entries, const EffectEntry* candidate, SearchResult& result)
{
    const EffectEntry* first = entries.data();
    if (std::less<>()(candidate, first) || !std::less<>()(candidate, first + entries.size()))
        return false;
    uint32_t& mark = marks_[static_cast<size_t>(candidate - first)];
    if (mark == stamp_)
        return false;
    mark = stamp_;
    (candidate->is_preset ? result.presets : result.effects).push_back(candidate);
    return true;
}

SearchResult EffectSearch::run(const std::vector<EffectEntry>& entries, const std::vector<EffectAlias>& aliases,
                               const std::vector<EffectAlias>& blacklist, std::string_view typed_text)
{
    SearchResult result;
    std::string query = qzsdk::to_lower(typed_text);
    if (query.empty())
        return result;
    begin(entries.size());
    // A blacklisted entry is marked as if already listed, so every pass skips it.
    SearchResult discarded;
    for (const EffectAlias& record : blacklist)
        take(entries, record.target, discarded);

    // Each list is scanned once: beginnings are taken at once, other hits after the scan, which gives the
    // order of a beginning pass followed by a containing pass (a beginning hit is already marked then).
    later_.clear();
    for (const EffectAlias& alias : aliases) {
        size_t at = find_in(alias.text, query);
        if (at == 0)
            take(entries, alias.target, result);
        else if (at != std::string_view::npos)
            later_.push_back(alias.target);
    }
    for (const EffectEntry* target : later_)
        take(entries, target, result);
    result.effects_from_alias = result.effects.size();
    result.presets_from_alias = result.presets.size();

    later_.clear();
    for (const EffectEntry& entry : entries) {
        size_t at = find_in(entry.match_name, query);
        if (at == 0)
            take(entries, &entry, result);
        else if (at != std::string_view::npos)
            later_.push_back(&entry);
    }
    for (const EffectEntry* entry : later_)
        take(entries, entry, result);
    return result;
}

std::vector<ResultLine> result_lines(const SearchResult& result, std::string_view typed_text)
{
    using Kind = ResultLine::Kind;
    std::vector<ResultLine> lines;
    if (result.empty()) {
        if (!typed_text.empty())
            lines.push_back({Kind::no_matches_header});
        return lines;
    }
    lines.reserve(result.effects.size() + result.presets.size() + 2);
    // A list of presets alone still opens with the "Effects" header, directly above "Presets".
    lines.push_back({Kind::effects_header});
    for (size_t i = 0; i < result.effects.size(); ++i)
        lines.push_back({Kind::row, result.effects[i], i < result.effects_from_alias});
    for (size_t i = 0; i < result.presets.size(); ++i) {
        if (i == 0)
            lines.push_back({Kind::presets_header});
        lines.push_back({Kind::row, result.presets[i], i < result.presets_from_alias});
    }
    return lines;
}
