#pragma once
// The animation preset files of the catalogue. A preset's key is the bitwise complement of its path's index
// here; a path keeps its index for the module's life, so a rebuild (each time the preferences open) neither
// repeats a path nor changes the file an earlier key names.
#include "popup/effect_entry.h"
#include "toolkit/platform/path.h"

#include <string>
#include <unordered_map>
#include <vector>

// The category of every preset entry, and of an installed effect that has none.
inline constexpr char preset_category[] = "Animation Preset";

class PresetCatalogue {
public:
    // Appends an entry for every "*.ffx" file in the folder and below it (the extension in lower case exactly).
    void AddFolder(const qzsdk::path& folder, std::vector<EffectEntry>& list);
    const std::vector<qzsdk::path>& paths() const { return paths_; }

private:
    // The preset's key, its path appended when it is new.
    int32_t KeyOf(const qzsdk::path& file);

    std::vector<qzsdk::path> paths_;
    std::unordered_map<std::wstring, size_t> indices_;
};
