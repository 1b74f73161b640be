#pragma once
// Carrying out the entry chosen in the popup on the selected layer.
#include "host/suite_cache.h"
#include "popup/effect_entry.h"
#include "toolkit/platform/path.h"

#include <windows.h>

#include <string>
#include <vector>

// A preset runs through the host's script engine; an effect goes through the host's Effect menu, and
// through the Effect suite when the menu cannot be used or the layer's effect count did not change.
// Without an effect-bearing layer, or for a preset index out of range, nothing is applied.
void ApplyChoice(SuiteCache& suites, AEGP_PluginID plugin_id, HWND main_window, const EffectEntry& entry,
                 const std::vector<qzsdk::path>& preset_paths);

// The script that applies a preset file to the active item's selected layer.
std::string PresetScript(const qzsdk::path& preset);
