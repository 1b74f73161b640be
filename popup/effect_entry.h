#pragma once
// The records shared by the search, the list files, the host glue and the preferences.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One installed effect or animation preset.
struct EffectEntry {
    // An installed effect's host key; for a preset the bitwise complement of its index in the preset paths.
    int32_t key = 0;
    std::string name;
    // The lower-case name: the only text searched, and how the list files find the entry again.
    std::string match_name;
    std::string category;
    bool is_preset = false;
};

// An alias, a favourite (text equal to the target's match name) or a blacklist record.
struct EffectAlias {
    std::string text;
    const EffectEntry* target = nullptr;
    const EffectEntry* override_target = nullptr;
    // An override read from the list file that names nothing installed now, written back as it was read.
    std::string unresolved_override = {};
};

struct EffectShortcut {
    std::string label;
    const EffectEntry* target = nullptr;
};

constexpr size_t shortcut_slot_count = 9;
using EffectShortcuts = std::array<EffectShortcut, shortcut_slot_count>;

// The user's lists as read against one catalogue, plus the lines that named nothing installed this
// time (a plug-in missing for one session), kept to be written back as they were read.
struct EffectLists {
    std::vector<EffectAlias> blacklist;
    std::vector<EffectAlias> aliases;
    EffectShortcuts shortcuts;
    std::vector<std::string> unresolved_search_lines;
    std::vector<std::string> unresolved_shortcut_lines;
};
