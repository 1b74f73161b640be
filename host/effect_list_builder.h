#pragma once
// The catalogue of everything the popup can apply: the host's installed effects and the animation preset
// files of the host's "Presets" folder and of the user's "User Presets" folder.
#include "host/suite_cache.h"
#include "popup/effect_entry.h"
#include "toolkit/platform/path.h"

#include <cstdint>
#include <vector>

// Host presets, installed effects, user presets, in that order. Preset keys are the bitwise complement of
// the preset's index in preset_paths, to which each preset's path is appended.
std::vector<EffectEntry> BuildEffectList(SuiteCache& suites, uint32_t host_generation,
                                         std::vector<qzsdk::path>& preset_paths);

// Every "*.ffx" file in the folder and below it (the extension in lower case exactly).
void AddPresetFolder(const qzsdk::path& folder, std::vector<EffectEntry>& list, std::vector<qzsdk::path>& preset_paths);

// "Presets" beside the host's executable.
qzsdk::path GetHostPresetsFolder();
// "Adobe\<the host generation's folder>\User Presets" in the documents folder.
qzsdk::path UserPresetsFolder(uint32_t host_generation);
