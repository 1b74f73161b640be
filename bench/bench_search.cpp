// Median time of one catalogue search, by catalogue size and query length: the search alone, no rows.
#include "popup/effect_search.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const syllables[] = {"blur", "glow", "fade", "shad", "ow", "tint", "col", "or", "key", "light",
                                 "noise", "warp", "tur", "bul", "ent", "dis", "place", "mask", "sharp", "en",
                                 "curve", "lev", "els", "time", "echo", "ripple", "wave", "grain", "lens", "flare"};

struct Catalogue {
    std::vector<EffectEntry> entries;
    std::vector<EffectAlias> aliases;
    std::vector<EffectAlias> blacklist;
};

Catalogue make_catalogue(size_t size, std::mt19937& random)
{
    Catalogue catalogue;
    catalogue.entries.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        std::string name;
        for (size_t words = 1 + random() % 3; words > 0; --words) {
            if (!name.empty())
                name += ' ';
            for (size_t parts = 1 + random() % 2; parts > 0; --parts)
                name += syllables[random() % std::size(syllables)];
        }
        bool preset = random() % 3 == 0;
        catalogue.entries.push_back({static_cast<int32_t>(i), name, name, "Stylize", preset});
    }
    // About one alias for every 20 entries and one blacklisted entry in 100, as a heavy user keeps.
    for (size_t i = 0; i < size / 20; ++i) {
        const EffectEntry& target = catalogue.entries[random() % size];
        catalogue.aliases.push_back({target.match_name.substr(0, 2) + syllables[random() % std::size(syllables)],
                                     &target, nullptr});
    }
    for (size_t i = 0; i < size / 100; ++i) {
        const EffectEntry& target = catalogue.entries[random() % size];
        catalogue.blacklist.push_back({target.match_name, &target, nullptr});
    }
    return catalogue;
}

std::vector<std::string> make_queries(const Catalogue& catalogue, size_t length, std::mt19937& random)
{
    std::vector<std::string> queries;
    while (queries.size() < 40) {
        const std::string& name = catalogue.entries[random() % catalogue.entries.size()].match_name;
        if (name.size() >= length)
            queries.push_back(name.substr(random() % (name.size() - length + 1), length));
    }
    return queries;
}

double seconds_now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median_ms(const Catalogue& catalogue, const std::vector<std::string>& queries)
{
    EffectSearch search;
    search.set_entries(catalogue.entries);
    std::vector<double> times;
    size_t found = 0;
    for (int repeat = 0; repeat < 5; ++repeat) {
        for (const std::string& query : queries) {
            double start = seconds_now();
            SearchResult result = search.run(catalogue.aliases, catalogue.blacklist, query);
            times.push_back((seconds_now() - start) * 1000.0);
            found += result.effects.size() + result.presets.size();
        }
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    if (found == 0)
        std::printf("(no query found anything)\n");
    return times[times.size() / 2];
}

}  // namespace

int main()
{
    std::mt19937 random(7);
    std::printf("catalogue search, median ms per query\n");
    std::printf("%10s %10s %10s %10s\n", "entries", "1 letter", "2 letters", "5 letters");
    for (size_t size : {500, 5'000, 50'000}) {
        Catalogue catalogue = make_catalogue(size, random);
        std::printf("%10zu", size);
        for (size_t length : {1, 2, 5})
            std::printf(" %10.3f", median_ms(catalogue, make_queries(catalogue, length, random)));
        std::printf("\n");
    }
    return 0;
}
