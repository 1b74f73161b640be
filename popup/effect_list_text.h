#pragma once
// The line formats of "effects_search.txt" and "effects_shortcuts.txt", apart from any file.
#include "popup/effect_entry.h"
#include "popup/entry_index.h"

#include <string>
#include <string_view>

// Fills the blacklist, the aliases and the unresolved search lines from the file's text (emptied first).
void read_search_text(std::string_view text, const EntryIndex& index, EffectLists& lists);

// Makes the nine slots from the file's text (emptied first) and collects its unresolved lines.
void read_shortcuts_text(std::string_view text, const EntryIndex& index, EffectLists& lists);

std::string search_text(const EffectLists& lists);
std::string shortcuts_text(const EffectLists& lists);
