#include "popup/effect_search.h"

#include "toolkit/platform/text.h"

#include <emmintrin.h>

#include <cstring>
#include <functional>

namespace {

// Offset of the first query at or after from, or npos. Sixteen candidate starts at a time are tested on
// the query's first and last byte; the C runtime's memchr under Wine goes byte by byte, which made a
// search over a studio-sized catalogue take a millisecond.
__attribute__((always_inline)) inline size_t find_from(std::string_view text, std::string_view query, size_t from)
{
    const size_t length = query.size();
    if (length == 0 || text.size() < length || from > text.size() - length)
        return std::string_view::npos;
    const char* base = text.data();
    const size_t last_start = text.size() - length;
    const __m128i first = _mm_set1_epi8(query.front());
    const __m128i last = _mm_set1_epi8(query.back());
    size_t at = from;
    for (; at <= last_start && last_start - at >= 15; at += 16) {
        __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at));
        __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at + length - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last))));
        for (; mask != 0; mask &= mask - 1) {
            size_t start = at + static_cast<size_t>(__builtin_ctz(mask));
            if (length <= 2 || std::memcmp(base + start + 1, query.data() + 1, length - 2) == 0)
                return start;
        }
    }
    for (; at <= last_start; ++at)
        if (base[at] == query.front() && std::memcmp(base + at, query.data(), length) == 0)
            return at;
    return std::string_view::npos;
}

}  // namespace

void EffectSearch::set_entries(const std::vector<EffectEntry>& entries)
{
    entries_ = entries.data();
    entry_count_ = entries.size();
    names_.clear();
    name_starts_.clear();
    name_starts_.reserve(entries.size() + 1);
    for (const EffectEntry& entry : entries) {
        name_starts_.push_back(names_.size());
        names_ += entry.match_name;
    }
    name_starts_.push_back(names_.size());
    marks_.assign(entries.size(), 0);
    stamp_ = 0;
}

bool EffectSearch::mark(const EffectEntry* candidate)
{
    if (std::less<>()(candidate, entries_) || !std::less<>()(candidate, entries_ + entry_count_))
        return false;
    uint32_t& mark = marks_[static_cast<size_t>(candidate - entries_)];
    if (mark == stamp_)
        return false;
    mark = stamp_;
    return true;
}

void EffectSearch::take(const EffectEntry* candidate, SearchResult& result)
{
    if (mark(candidate))
        (candidate->is_preset ? result.presets : result.effects).push_back(candidate);
}

// Each entry's first occurrence of the query, found in one pass over the joined names: a name that begins
// with the query is taken at once, one that holds it further in after the pass.
void EffectSearch::scan_names(std::string_view query, SearchResult& result)
{
    later_.clear();
    std::string_view names = names_;
    size_t entry = 0;
    for (size_t hit = find_from(names, query, 0); hit != std::string_view::npos;) {
        while (name_starts_[entry + 1] <= hit)
            ++entry;
        if (hit + query.size() > name_starts_[entry + 1]) {
            hit = find_from(names, query, hit + 1);  // runs into the next name: not a match of this one
            continue;
        }
        if (hit == name_starts_[entry])
            take(entries_ + entry, result);
        else
            later_.push_back(entries_ + entry);
        hit = find_from(names, query, name_starts_[entry + 1]);
    }
    for (const EffectEntry* candidate : later_)
        take(candidate, result);
}

SearchResult EffectSearch::run(const std::vector<EffectAlias>& aliases, const std::vector<EffectAlias>& blacklist,
                               std::string_view typed_text)
{
    SearchResult result;
    std::string query = qzsdk::to_lower(typed_text);
    if (query.empty() || entry_count_ == 0)
        return result;
    if (++stamp_ == 0) {
        marks_.assign(entry_count_, 0);
        stamp_ = 1;
    }
    // A blacklisted entry is marked as if already listed, so every pass skips it.
    for (const EffectAlias& record : blacklist)
        mark(record.target);

    // Beginnings are taken at once and other hits after the scan: the order of a pass over the beginnings
    // followed by a pass over the rest (a beginning hit is already marked by then).
    later_.clear();
    for (const EffectAlias& alias : aliases) {
        size_t at = find_from(alias.text, query, 0);
        if (at == 0)
            take(alias.target, result);
        else if (at != std::string_view::npos)
            later_.push_back(alias.target);
    }
    for (const EffectEntry* target : later_)
        take(target, result);
    result.effects_from_alias = result.effects.size();
    result.presets_from_alias = result.presets.size();

    scan_names(query, result);
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
