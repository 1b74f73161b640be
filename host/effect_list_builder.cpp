#include "host/effect_list_builder.h"

#include "host/host_text.h"
#include "host/sdk/host_suites.h"
#include "toolkit/platform/special_folders.h"
#include "toolkit/platform/text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>

namespace {

// Installed effects in the host's key order. The walk is bounded by the count the host gave and ends at
// a key already seen, so a host that answers in a circle cannot hang it.
void AddInstalledEffects(SuiteCache& suites, A_long count, std::vector<EffectEntry>& list)
{
    const auto& effects = suites.get<AEGP_EffectSuite3>();
    std::unordered_set<std::string> preset_names;
    for (const EffectEntry& entry : list)
        preset_names.insert(entry.match_name);
    std::unordered_set<AEGP_InstalledEffectKey> seen{0};
    AEGP_InstalledEffectKey key = 0;
    for (A_long i = 0; i < count; ++i) {
        AEGP_InstalledEffectKey next = 0;
        effects.AEGP_GetNextInstalledEffect(key, &next);
        if (!seen.insert(next).second)
            break;
        key = next;
        A_char name_buffer[AEGP_MAX_EFFECT_NAME_SIZE] = {};
        A_char category_buffer[AEGP_MAX_EFFECT_CATEGORY_NAME_SIZE] = {};
        effects.AEGP_GetEffectName(key, name_buffer);
        effects.AEGP_GetEffectCategory(key, category_buffer);
        std::string category = FromHostBuffer(category_buffer);
        if (category == "_Obsolete")
            continue;
        std::string name = FromHostBuffer(name_buffer);
        EffectEntry entry{key, name, qzsdk::to_lower(name), category, false};
        if (category.empty()) {
            // A preset-like effect: a preset of the same name from the host's folder wins.
            if (!preset_names.insert(entry.match_name).second)
                continue;
            entry.category = preset_category;
            entry.is_preset = true;
        }
        list.push_back(std::move(entry));
    }
}

}  // namespace

std::vector<EffectEntry> BuildEffectList(SuiteCache& suites, uint32_t host_generation, PresetCatalogue& presets)
{
    A_long count = 0;
    suites.get<AEGP_EffectSuite3>().AEGP_GetNumInstalledEffects(&count);
    std::vector<EffectEntry> list;
    list.reserve(static_cast<size_t>(std::max<A_long>(count, 0)));
    presets.AddFolder(GetHostPresetsFolder(), list);
    AddInstalledEffects(suites, count, list);
    presets.AddFolder(UserPresetsFolder(host_generation), list);
    return list;
}

qzsdk::path GetHostPresetsFolder()
{
    // Grown until the whole path fits: an install folder may be deeper than 260 characters.
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (length == 0)
            return {};
        if (length < module.size()) {
            module.resize(length);
            break;
        }
        module.resize(module.size() * 2);
    }
    return qzsdk::path(std::move(module)).parent().join(qzsdk::path(L"Presets"));
}

qzsdk::path UserPresetsFolder(uint32_t host_generation)
{
    static const wchar_t* const generation_folders[] = {
        L"After Effects CC 2018", L"After Effects CC 2017", L"After Effects CC 2015", L"After Effects CC 2014",
        L"After Effects CC",      L"After Effects CS6",
    };
    const wchar_t* generation_folder =
        host_generation < std::size(generation_folders) ? generation_folders[host_generation] : L"After Effects CS5";
    qzsdk::path documents = qzsdk::documents_folder();
    if (documents.empty())
        return {};
    return documents.join(qzsdk::path(L"Adobe")).join(qzsdk::path(generation_folder)).join(qzsdk::path(L"User Presets"));
}
