#include "host/preset_catalogue.h"

#include "toolkit/platform/directory_listing.h"
#include "toolkit/platform/text.h"

void PresetCatalogue::AddFolder(const qzsdk::path& folder, std::vector<EffectEntry>& list)
{
    for (const qzsdk::directory_entry& entry : qzsdk::directory_listing{folder, 1}) {
        if (entry.is_folder || entry.relative_path.extension() != "ffx")
            continue;
        std::string name = entry.relative_path.file_name(false).to_utf8();
        std::string match_name = qzsdk::to_lower(name);
        list.push_back({KeyOf(folder.join(entry.relative_path)), std::move(name), std::move(match_name),
                        preset_category, true});
    }
}

int32_t PresetCatalogue::KeyOf(const qzsdk::path& file)
{
    auto [at, is_new] = indices_.try_emplace(file.wide(), paths_.size());
    if (is_new)
        paths_.push_back(file);
    return ~static_cast<int32_t>(at->second);
}
