#pragma once
// The catalogue of everything the popup can apply: the host's installed effects and the animation preset
// files of the host's "Presets" folder and of the user's "User Presets" folder.
#include "host/preset_catalogue.h"
#include "host/suite_cache.h"
#include "popup/effect_entry.h"
#include "toolkit/platform/path.h"

#include <cstdint>
#include <vector>

// Host presets, installed effects, user presets, in that order; the presets' keys come from `presets`.
std::vector<EffectEntry> BuildEffectList(SuiteCache& suites, uint32_t host_generation, PresetCatalogue& presets);

// "Presets" beside the host's executable.
qzsdk::path GetHostPresetsFolder();
// "Adobe\<the host generation's folder>\User Presets" in the documents folder.
qzsdk::path UserPresetsFolder(uint32_t host_generation);
