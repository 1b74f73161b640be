#include "preferences/preferences_list_editing.h"

#include "preferences/preferences_alias_popup.h"
#include "toolkit/platform/text.h"

#include <algorithm>
#include <unordered_map>

namespace {

// The list file splits its lines at these; a line break would end the record.
bool HoldsFileSeparator(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        return c == '=' || c == '#' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

template <class Record>
bool MoveInRange(Record* first, size_t count, size_t from, size_t drop_index)
{
    if (from >= count)
        return false;
    drop_index = std::min(drop_index, count);
    if (drop_index > from)
        --drop_index;
    if (drop_index == from)
        return false;
    Record moved = std::move(first[from]);
    if (drop_index < from)
        std::move_backward(first + drop_index, first + from, first + from + 1);
    else
        std::move(first + from + 1, first + drop_index + 1, first + from);
    first[drop_index] = std::move(moved);
    std::stable_partition(first, first + count, [](const Record& record) { return record.target != nullptr; });
    return true;
}

// Finds the entry of the same match name in the new catalogue; a pointer that is not into the old one is
// never read.
class EntryRebinder {
public:
    EntryRebinder(const std::vector<EffectEntry>& old_catalogue, const std::vector<EffectEntry>& new_catalogue)
        : old_(old_catalogue)
    {
        // The first entry of a name wins, as when the list files are read.
        for (const EffectEntry& entry : new_catalogue)
            index_.emplace(entry.match_name, &entry);
    }

    bool known(const EffectEntry* previous) const
    {
        return previous && !old_.empty() && previous >= old_.data() && previous < old_.data() + old_.size();
    }

    const EffectEntry* operator()(const EffectEntry* previous) const
    {
        if (!known(previous))
            return nullptr;
        auto found = index_.find(previous->match_name);
        return found == index_.end() ? nullptr : found->second;
    }

private:
    const std::vector<EffectEntry>& old_;
    std::unordered_map<std::string, const EffectEntry*> index_;
};

}  // namespace

bool ClearShortcut(EffectShortcuts& shortcuts, size_t slot)
{
    if (slot >= shortcuts.size())
        return false;
    std::move(shortcuts.begin() + static_cast<ptrdiff_t>(slot) + 1, shortcuts.end(),
              shortcuts.begin() + static_cast<ptrdiff_t>(slot));
    shortcuts.back() = EffectShortcut{};
    return true;
}

bool SetShortcut(EffectShortcuts& shortcuts, const EditEffectResult& result)
{
    std::optional<std::string> label = CleanLabel(result.label);
    if (!label || result.slot_index >= shortcuts.size())
        return false;
    size_t slot = result.slot_index;
    if (!shortcuts[slot].target) {
        // A label alone cannot make a shortcut: there is nothing for it to apply.
        if (result.label_only || !result.entry)
            return false;
        while (slot > 0 && !shortcuts[slot - 1].target)
            --slot;
    } else if (!result.label_only && !result.entry) {
        return false;
    }
    shortcuts[slot].label = *label;
    if (!result.label_only)
        shortcuts[slot].target = result.entry;
    return true;
}

bool RemoveRecord(std::vector<EffectAlias>& list, size_t index)
{
    if (index >= list.size())
        return false;
    list.erase(list.begin() + static_cast<ptrdiff_t>(index));
    return true;
}

bool ClearAlias(EffectAlias& record)
{
    if (!record.target || record.text == record.target->match_name)
        return false;
    record.text = record.target->match_name;
    return true;
}

bool ClearOverride(EffectAlias& record)
{
    if (!record.override_target && record.unresolved_override.empty())
        return false;
    record.override_target = nullptr;
    record.unresolved_override.clear();
    return true;
}

bool SetOverride(std::vector<EffectAlias>& favorites, const EditEffectResult& result)
{
    if (result.slot_index >= favorites.size() || result.label_only || !result.entry)
        return false;
    EffectAlias& record = favorites[result.slot_index];
    record.override_target = result.entry;
    record.unresolved_override.clear();
    return true;
}

bool AppendEntry(std::vector<EffectAlias>& list, const EditEffectResult& result)
{
    if (result.label_only || !result.entry)
        return false;
    list.push_back(EffectAlias{result.entry->match_name, result.entry, nullptr});
    return true;
}

std::optional<std::string> CleanAlias(std::string_view typed, const std::vector<EffectAlias>& favorites,
                                      const EffectAlias& record)
{
    std::string alias = qzsdk::to_lower(qzsdk::trim(typed));
    if (alias.empty() || alias.size() > PreferencesAliasPopup::max_alias_length || HoldsFileSeparator(alias))
        return std::nullopt;
    for (const EffectAlias& other : favorites) {
        bool is_alias = other.target && other.text != other.target->match_name;
        if (&other != &record && is_alias && other.text == alias)
            return std::nullopt;
    }
    return alias;
}

bool SetAlias(const std::vector<EffectAlias>& favorites, EffectAlias& record, std::string_view typed)
{
    if (!record.target)
        return false;
    std::optional<std::string> alias = CleanAlias(typed, favorites, record);
    if (!alias || *alias == record.text)
        return false;
    record.text = *alias;
    return true;
}

std::optional<std::string> CleanLabel(std::string_view typed)
{
    std::string label = qzsdk::trim(typed);
    if (label.empty() || HoldsFileSeparator(label))
        return std::nullopt;
    return label;
}

bool MoveRecord(std::vector<EffectAlias>& list, size_t from, size_t drop_index)
{
    return MoveInRange(list.data(), list.size(), from, drop_index);
}

bool MoveRecord(EffectShortcuts& list, size_t from, size_t drop_index)
{
    return MoveInRange(list.data(), list.size(), from, drop_index);
}

void RebindLists(EffectLists& lists, const std::vector<EffectEntry>& old_catalogue,
                 const std::vector<EffectEntry>& new_catalogue)
{
    EntryRebinder rebind(old_catalogue, new_catalogue);
    for (EffectShortcut& slot : lists.shortcuts) {
        slot.target = rebind(slot.target);
        if (!slot.target)
            slot.label.clear();
    }
    std::stable_partition(lists.shortcuts.begin(), lists.shortcuts.end(),
                          [](const EffectShortcut& slot) { return slot.target != nullptr; });

    for (std::vector<EffectAlias>* list : {&lists.aliases, &lists.blacklist}) {
        for (EffectAlias& record : *list) {
            const EffectEntry* old_override = record.override_target;
            record.target = rebind(record.target);
            record.override_target = rebind(old_override);
            if (old_override && !record.override_target && record.target)
                record.unresolved_override = rebind.known(old_override) ? old_override->name : std::string();
        }
        std::erase_if(*list, [](const EffectAlias& record) { return record.target == nullptr; });
    }
}
