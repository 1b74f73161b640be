#include "popup/effect_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

using Kind = ResultLine::Kind;

EffectEntry make_entry(int32_t key, std::string name, bool preset = false)
{
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return {key, name, lower, preset ? "Animation Preset" : "Blur & Sharpen", preset};
}

// The four passes exactly as they read: each candidate tested against the lists built so far.
SearchResult plain_search(const std::vector<EffectEntry>& entries, const std::vector<EffectAlias>& aliases,
                          const std::vector<EffectAlias>& blacklist, const std::string& text)
{
    SearchResult result;
    std::string query = text;
    for (char& c : query)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (query.empty())
        return result;
    auto append = [&](const EffectEntry* candidate) {
        auto listed = [&](const std::vector<const EffectEntry*>& list) {
            return std::find(list.begin(), list.end(), candidate) != list.end();
        };
        bool blacklisted = std::any_of(blacklist.begin(), blacklist.end(),
                                       [&](const EffectAlias& record) { return record.target == candidate; });
        if (listed(result.effects) || listed(result.presets) || blacklisted)
            return;
        (candidate->is_preset ? result.presets : result.effects).push_back(candidate);
    };
    for (const EffectAlias& alias : aliases)
        if (alias.text.starts_with(query))
            append(alias.target);
    for (const EffectAlias& alias : aliases)
        if (alias.text.find(query) != std::string::npos)
            append(alias.target);
    result.effects_from_alias = result.effects.size();
    result.presets_from_alias = result.presets.size();
    for (const EffectEntry& entry : entries)
        if (entry.match_name.starts_with(query))
            append(&entry);
    for (const EffectEntry& entry : entries)
        if (entry.match_name.find(query) != std::string::npos)
            append(&entry);
    return result;
}

// Headers and rows as the list builds them, one result entry at a time.
std::vector<ResultLine> plain_lines(const SearchResult& result, const std::string& text)
{
    std::vector<ResultLine> lines;
    std::vector<const EffectEntry*> all = result.effects;
    all.insert(all.end(), result.presets.begin(), result.presets.end());
    bool effects_header = false;
    bool presets_header = false;
    for (size_t i = 0; i < all.size(); ++i) {
        if (i == 0 && !effects_header) {
            lines.push_back({Kind::effects_header});
            effects_header = true;
        }
        if (all[i]->is_preset && !presets_header) {
            lines.push_back({Kind::presets_header});
            presets_header = true;
        }
        bool from_alias = all[i]->is_preset ? i < result.effects.size() + result.presets_from_alias
                                            : i < result.effects_from_alias;
        lines.push_back({Kind::row, all[i], from_alias});
    }
    if (all.empty() && !text.empty())
        lines.push_back({Kind::no_matches_header});
    return lines;
}

class SearchTest : public testing::Test {
protected:
    std::vector<ResultLine> search(const std::string& text)
    {
        search_.set_entries(entries_);
        return result_lines(search_.run(aliases_, blacklist_, text), text);
    }
    const EffectEntry* entry(const std::string& name)
    {
        for (const EffectEntry& entry : entries_)
            if (entry.name == name)
                return &entry;
        ADD_FAILURE() << name;
        return nullptr;
    }
    ResultLine row(const std::string& name, bool from_alias = false) { return {Kind::row, entry(name), from_alias}; }

    std::vector<EffectEntry> entries_{make_entry(1, "Glow"), make_entry(2, "Gaussian Blur"),
                                      make_entry(3, "Fast Box Blur"), make_entry(4, "Tint"),
                                      make_entry(-1, "Glitch Fade", true), make_entry(-2, "Grow Bounce", true),
                                      make_entry(5, "Drop Shadow")};
    std::vector<EffectAlias> aliases_;
    std::vector<EffectAlias> blacklist_;
    EffectSearch search_;
};

}  // namespace

TEST_F(SearchTest, AliasesLeadEachSectionThenBeginningsThenContainingOnceEach)
{
    aliases_ = {{"gb", entry("Gaussian Blur")}, {"sparkle", entry("Glitch Fade")}};
    ResultLine effects{Kind::effects_header}, presets{Kind::presets_header};
    EXPECT_EQ(search("G"), (std::vector<ResultLine>{effects, row("Gaussian Blur", true), row("Glow"),
                                                     presets, row("Glitch Fade"), row("Grow Bounce")}));
    // "l" is inside "sparkle": alias hits come first, then names in catalogue order.
    EXPECT_EQ(search("l"), (std::vector<ResultLine>{effects, row("Glow"), row("Gaussian Blur"), row("Fast Box Blur"),
                                                     presets, row("Glitch Fade", true)}));
}

TEST_F(SearchTest, BlanksAreSearchedAsTypedAndNothingFoundSaysNoMatches)
{
    EXPECT_TRUE(search("").empty());
    EXPECT_EQ(search(" b"), (std::vector<ResultLine>{{Kind::effects_header}, row("Gaussian Blur"),
                                                     row("Fast Box Blur"), {Kind::presets_header}, row("Grow Bounce")}));
    EXPECT_EQ(search("zz"), (std::vector<ResultLine>{{Kind::no_matches_header}}));
}

TEST_F(SearchTest, BlacklistHidesAnEntryEvenThroughAnAliasAndDuplicateFavouritesListOnce)
{
    blacklist_ = {{"glow", entry("Glow")}};
    aliases_ = {{"gl", entry("Glow")}, {"tint", entry("Tint")}, {"tint", entry("Tint")}};
    EXPECT_EQ(search("gl"), (std::vector<ResultLine>{{Kind::effects_header}, {Kind::presets_header},
                                                      row("Glitch Fade")}));
    EXPECT_EQ(search("tin"), (std::vector<ResultLine>{{Kind::effects_header}, row("Tint", true)}));
}

TEST(Search, MatchesThePlainFourPassesOnRandomCatalogues)
{
    std::mt19937 random(20240201);
    const std::string alphabet = "abcAB -";
    auto word = [&](size_t max_length) {
        std::string text(1 + random() % max_length, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        return text;
    };
    EffectSearch search;
    for (int round = 0; round < 300; ++round) {
        std::vector<EffectEntry> entries;
        size_t count = 1 + random() % 40;
        for (size_t i = 0; i < count; ++i)
            entries.push_back(make_entry(static_cast<int32_t>(i), word(6), random() % 3 == 0));
        auto any_entry = [&] { return &entries[random() % entries.size()]; };
        std::vector<EffectAlias> aliases, blacklist;
        for (size_t i = random() % 12; i > 0; --i)
            aliases.push_back({make_entry(0, word(4)).match_name, any_entry(), nullptr});
        for (size_t i = random() % 4; i > 0; --i)
            blacklist.push_back({"", any_entry(), nullptr});
        search.set_entries(entries);
        for (int query = 0; query < 10; ++query) {
            std::string text = query == 0 ? std::string() : word(3);
            SearchResult fast = search.run(aliases, blacklist, text);
            SearchResult plain = plain_search(entries, aliases, blacklist, text);
            ASSERT_EQ(fast.effects, plain.effects) << text;
            ASSERT_EQ(fast.presets, plain.presets) << text;
            ASSERT_EQ(fast.effects_from_alias, plain.effects_from_alias);
            ASSERT_EQ(fast.presets_from_alias, plain.presets_from_alias);
            ASSERT_EQ(result_lines(fast, text), plain_lines(plain, text)) << text;
        }
    }
}
