#pragma once
// The edits the preferences window makes to its copies of the shortcut slots, favourites and blacklist.
// Each returns whether the list changed, so the caller knows to rebuild its panel.
#include "popup/effect_entry.h"
#include "preferences/edit_effect_result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Slot `slot` loses its effect; the later slots move up so the filled ones stay together at the top.
bool ClearShortcut(EffectShortcuts& shortcuts, size_t slot);
// A picker's answer for a slot: a chosen effect, or a new label for the slot's effect. An empty slot takes
// the first empty place. An unusable label or a result without an effect changes nothing.
bool SetShortcut(EffectShortcuts& shortcuts, const EditEffectResult& result);

bool RemoveRecord(std::vector<EffectAlias>& list, size_t index);
// Makes the record a plain favourite again.
bool ClearAlias(EffectAlias& record);
bool ClearOverride(EffectAlias& record);
bool SetOverride(std::vector<EffectAlias>& favorites, const EditEffectResult& result);
// Appends the chosen effect as a plain record, also when it is listed already: the popup's search lists it once.
bool AppendEntry(std::vector<EffectAlias>& list, const EditEffectResult& result);

// The alias a typed text gives, or none when it cannot be one: empty, a character the list file uses as a
// separator or cannot hold, too long, or the alias of another record already.
std::optional<std::string> CleanAlias(std::string_view typed, const std::vector<EffectAlias>& favorites,
                                      const EffectAlias& record);
bool SetAlias(const std::vector<EffectAlias>& favorites, EffectAlias& record, std::string_view typed);
// A shortcut label the shortcuts file can hold, or none.
std::optional<std::string> CleanLabel(std::string_view typed);

// Moves record `from` so that it lands before the record that was at `drop_index` (the list's size: at the
// end), then lets records without an effect sink behind the others.
bool MoveRecord(std::vector<EffectAlias>& list, size_t from, size_t drop_index);
bool MoveRecord(EffectShortcuts& list, size_t from, size_t drop_index);

// Points every record at the entry of the same match name in a rebuilt catalogue; call it while the old
// catalogue still lives. Records whose effect is gone or was not in the old catalogue are dropped (shortcut
// slots emptied and sunk); an override that is gone is kept by name.
void RebindLists(EffectLists& lists, const std::vector<EffectEntry>& old_catalogue,
                 const std::vector<EffectEntry>& new_catalogue);
