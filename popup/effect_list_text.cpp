#include "popup/effect_list_text.h"

#include "toolkit/platform/text.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// A hostile line full of separators must not make reading quadratic: later ones are not tried.
constexpr size_t max_separators_tried = 8;

struct SearchRecord {
    bool blacklisted = false;
    EffectAlias alias;
};

// The file's text: up to its first zero byte, without a UTF-8 byte-order mark, split at line feeds.
std::vector<std::string_view> split_lines(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

std::vector<size_t> separator_positions(std::string_view text, char separator)
{
    std::vector<size_t> positions;
    for (size_t at = text.find(separator); at != std::string_view::npos && positions.size() < max_separators_tried;
         at = text.find(separator, at + 1))
        positions.push_back(at);
    return positions;
}

// A favourite, or a blacklist record when the name is "-" and an entry's name; the literal name first,
// so names that begin with "-" survive.
std::optional<SearchRecord> read_named(const EntryIndex& index, std::string_view name, std::string_view override_name)
{
    if (name.empty())
        return std::nullopt;
    if (const EffectEntry* entry = index.find(name))
        return SearchRecord{false, {entry->match_name, entry, index.find(override_name)}};
    if (name.front() == '-') {
        if (const EffectEntry* entry = index.find(name.substr(1)))
            return SearchRecord{true, {entry->match_name, entry, nullptr}};
    }
    return std::nullopt;
}

// text, then name and override split at each "#" in turn, the whole part first (names may hold "#").
template <typename Resolve>
std::optional<SearchRecord> read_with_override(std::string_view part, Resolve resolve)
{
    if (auto record = resolve(qzsdk::trim(part), std::string()))
        return record;
    for (size_t hash : separator_positions(part, '#'))
        if (auto record = resolve(qzsdk::trim(part.substr(0, hash)), qzsdk::trim(part.substr(hash + 1))))
            return record;
    return std::nullopt;
}

// The whole line as a name first; then "text = target # override" at each "=" in turn; then
// "name # override" at each "#". The line's first reading that names an installed entry wins, so a
// line of the usual forms reads as it always did unless a name matches it literally.
std::optional<SearchRecord> read_search_line(std::string_view line, const EntryIndex& index)
{
    std::string lower = qzsdk::to_lower(line);
    std::string whole = qzsdk::trim(lower);
    if (auto record = read_named(index, whole, {}))
        return record;
    for (size_t equals : separator_positions(lower, '=')) {
        std::string text = qzsdk::trim(std::string_view(lower).substr(0, equals));
        auto alias = read_with_override(std::string_view(lower).substr(equals + 1),
                                        [&](const std::string& name, const std::string& override_name)
                                            -> std::optional<SearchRecord> {
                                            const EffectEntry* target = index.find(name);
                                            if (!target)
                                                return std::nullopt;
                                            return SearchRecord{false, {text, target, index.find(override_name)}};
                                        });
        if (alias)
            return alias;
    }
    return read_with_override(lower, [&](const std::string& name, const std::string& override_name) {
        return read_named(index, name, override_name);
    });
}

void append_line(std::string& text, std::string_view line)
{
    text.append(line);
    text.push_back('\n');
}

}  // namespace

void read_search_text(std::string_view text, const EntryIndex& index, EffectLists& lists)
{
    lists.blacklist.clear();
    lists.aliases.clear();
    lists.unresolved_search_lines.clear();
    for (std::string_view line : split_lines(text)) {
        if (qzsdk::trim(line).empty())
            continue;
        if (auto record = read_search_line(line, index))
            (record->blacklisted ? lists.blacklist : lists.aliases).push_back(std::move(record->alias));
        else
            lists.unresolved_search_lines.emplace_back(line);
    }
}

void read_shortcuts_text(std::string_view text, const EntryIndex& index, EffectLists& lists)
{
    lists.shortcuts = {};
    lists.unresolved_shortcut_lines.clear();
    size_t filled = 0;
    for (std::string_view line : split_lines(text)) {
        if (qzsdk::trim(line).empty())
            continue;
        const EffectEntry* target = nullptr;
        size_t equals = 0;
        for (size_t at : separator_positions(line, '=')) {
            target = index.find(qzsdk::trim(qzsdk::to_lower(line.substr(at + 1))));
            equals = at;
            if (target)
                break;
        }
        // Lines naming nothing installed, and named ones with no slot left, are kept, not lost.
        if (target && filled < shortcut_slot_count)
            lists.shortcuts[filled++] = {qzsdk::trim(line.substr(0, equals)), target};
        else
            lists.unresolved_shortcut_lines.emplace_back(line);
    }
}

std::string search_text(const EffectLists& lists)
{
    std::string text;
    for (const EffectAlias& record : lists.blacklist)
        if (record.target)
            append_line(text, "-" + record.target->name);
    for (const EffectAlias& alias : lists.aliases) {
        if (!alias.target)
            continue;
        std::string line = alias.text == alias.target->match_name ? alias.target->name
                                                                  : alias.text + " = " + alias.target->name;
        if (alias.override_target)
            line += " # " + alias.override_target->name;
        append_line(text, line);
    }
    for (const std::string& line : lists.unresolved_search_lines)
        append_line(text, line);
    return text;
}

std::string shortcuts_text(const EffectLists& lists)
{
    std::string text;
    for (const EffectShortcut& slot : lists.shortcuts)
        if (slot.target)
            append_line(text, slot.label + " = " + slot.target->name);
    for (const std::string& line : lists.unresolved_shortcut_lines)
        append_line(text, line);
    return text;
}
