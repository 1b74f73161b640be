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

// The override names an installed entry, or its text is kept to be written back (a plug-in missing for
// one session must not cost the alias its override).
EffectAlias alias_with_override(std::string text, const EffectEntry* target, const EntryIndex& index,
                                const std::string& override_text)
{
    EffectAlias alias{std::move(text), target, index.find(qzsdk::to_lower(override_text))};
    if (!alias.override_target)
        alias.unresolved_override = override_text;
    return alias;
}

// A favourite, or a blacklist record when the name is "-" and an entry's name; the literal name first,
// so names that begin with "-" survive.
std::optional<SearchRecord> read_named(const EntryIndex& index, const std::string& name, const std::string& override_text)
{
    std::string lower = qzsdk::to_lower(name);
    if (lower.empty())
        return std::nullopt;
    if (const EffectEntry* entry = index.find(lower))
        return SearchRecord{false, alias_with_override(entry->match_name, entry, index, override_text)};
    if (lower.front() == '-') {
        if (const EffectEntry* entry = index.find(std::string_view(lower).substr(1)))
            return SearchRecord{true, {entry->match_name, entry, nullptr}};
    }
    return std::nullopt;
}

// The whole part as a name first, then name and override split at each "#" in turn (names may hold "#").
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
    if (auto record = read_named(index, qzsdk::trim(line), {}))
        return record;
    for (size_t equals : separator_positions(line, '=')) {
        std::string text = qzsdk::to_lower(qzsdk::trim(line.substr(0, equals)));
        auto alias = read_with_override(line.substr(equals + 1),
                                        [&](const std::string& name, const std::string& override_text)
                                            -> std::optional<SearchRecord> {
                                            const EffectEntry* target = index.find(qzsdk::to_lower(name));
                                            if (!target)
                                                return std::nullopt;
                                            return SearchRecord{false,
                                                                alias_with_override(text, target, index, override_text)};
                                        });
        if (alias)
            return alias;
    }
    return read_with_override(line, [&](const std::string& name, const std::string& override_text) {
        return read_named(index, name, override_text);
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
        else if (!alias.unresolved_override.empty())
            line += " # " + alias.unresolved_override;
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
