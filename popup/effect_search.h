#pragma once
// The catalogue search: typed text to the ordered entries the popup lists.
#include "popup/effect_entry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SearchResult {
    std::vector<const EffectEntry*> effects;
    std::vector<const EffectEntry*> presets;
    // How many of each list were reached through an alias (they lead their list).
    size_t effects_from_alias = 0;
    size_t presets_from_alias = 0;

    bool empty() const { return effects.empty() && presets.empty(); }
};

// One line of the result list, top to bottom: a section header or a row.
struct ResultLine {
    enum class Kind { effects_header, presets_header, no_matches_header, row };
    Kind kind = Kind::row;
    const EffectEntry* entry = nullptr;
    bool came_from_alias = false;

    bool operator==(const ResultLine&) const = default;
};

// Reused from search to search over one catalogue: the match names lie in one contiguous text, and
// per-entry marks make the duplicate and blacklist tests O(1), so a search is linear in the catalogue,
// the aliases and the blacklist.
class EffectSearch {
public:
    // The catalogue to search from now on; it must stay unchanged while it is searched.
    void set_entries(const std::vector<EffectEntry>& entries);

    // Aliases beginning with the query, aliases containing it, entries beginning with it, entries
    // containing it; each entry once, never a blacklisted one. Targets outside the catalogue are ignored.
    SearchResult run(const std::vector<EffectAlias>& aliases, const std::vector<EffectAlias>& blacklist,
                     std::string_view typed_text);

private:
    // False for an entry outside the catalogue or one already marked in this search.
    bool mark(const EffectEntry* candidate);
    void take(const EffectEntry* candidate, SearchResult& result);
    void scan_names(std::string_view query, SearchResult& result);

    const EffectEntry* entries_ = nullptr;
    size_t entry_count_ = 0;
    std::string names_;
    // Where each entry's match name starts in names_, and one more for the end.
    std::vector<size_t> name_starts_;
    std::vector<uint32_t> marks_;
    uint32_t stamp_ = 0;
    std::vector<const EffectEntry*> later_;
};

// Headers and rows as the list shows them; "No Matches" only for a non-empty query that found nothing.
std::vector<ResultLine> result_lines(const SearchResult& result, std::string_view typed_text);
