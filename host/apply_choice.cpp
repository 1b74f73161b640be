#include "host/apply_choice.h"

#include "host/effect_menu.h"
#include "host/host_queries.h"
#include "host/sdk/host_suites.h"

#include <algorithm>

namespace {

A_long EffectCount(SuiteCache& suites, AEGP_LayerH layer)
{
    A_long count = 0;
    suites.get<AEGP_EffectSuite2>().AEGP_GetLayerNumEffects(layer, &count);
    return count;
}

void RunScript(SuiteCache& suites, AEGP_PluginID plugin_id, const std::string& script)
{
    const auto& memory = suites.get<AEGP_MemorySuite1>();
    AEGP_MemHandle result = nullptr;
    AEGP_MemHandle error = nullptr;
    suites.get<AEGP_UtilitySuite10>().AEGP_ExecuteScript(plugin_id, script.c_str(), 0, &result, &error);
    for (AEGP_MemHandle handle : {result, error})
        if (handle)
            memory.AEGP_FreeMemHandle(handle);
}

void ApplyPreset(SuiteCache& suites, AEGP_PluginID plugin_id, const EffectEntry& entry,
                 const std::vector<qzsdk::path>& preset_paths)
{
    size_t index = static_cast<size_t>(~entry.key);
    if (index < preset_paths.size())
        RunScript(suites, plugin_id, PresetScript(preset_paths[index]));
}

void ApplyEffect(SuiteCache& suites, AEGP_PluginID plugin_id, HWND main_window, AEGP_LayerH layer,
                 const EffectEntry& entry)
{
    A_long before = EffectCount(suites, layer);
    bool menu_used = false;
    if (auto command = FindEffectCommand(main_window, entry.category, entry.name)) {
        // Handled synchronously on this thread: the host has applied it (or refused) when this returns.
        SendMessageW(main_window, WM_COMMAND, *command, 0);
        menu_used = true;
    }
    if (menu_used && EffectCount(suites, layer) != before)
        return;
    AEGP_EffectRefH effect = nullptr;
    const auto& effects = suites.get<AEGP_EffectSuite3>();
    effects.AEGP_ApplyEffect(plugin_id, layer, entry.key, &effect);
    if (effect)
        effects.AEGP_DisposeEffect(effect);
}

}  // namespace

void ApplyChoice(SuiteCache& suites, AEGP_PluginID plugin_id, HWND main_window, const EffectEntry& entry,
                 const std::vector<qzsdk::path>& preset_paths)
{
    // Every suite the choice needs is taken before the first host call: a host without one refuses the
    // whole choice, instead of running a script whose answers could not be freed or a menu command whose
    // result could not be checked.
    const bool preset = entry.key < 0 && entry.is_preset;
    if (preset) {
        suites.get<AEGP_UtilitySuite10>();
        suites.get<AEGP_MemorySuite1>();
    } else {
        suites.get<AEGP_EffectSuite2>();
        suites.get<AEGP_EffectSuite3>();
    }
    AEGP_LayerH layer = GetActiveLayer(suites);
    if (!layer)
        return;
    if (preset)
        ApplyPreset(suites, plugin_id, entry, preset_paths);
    else
        ApplyEffect(suites, plugin_id, main_window, layer, entry);
}

std::string PresetScript(const qzsdk::path& preset)
{
    std::string path = preset.to_utf8();
    std::replace(path.begin(), path.end(), '\\', '/');
    return "app.project.activeItem.applyPreset(new File(\"" + path + "\"));";
}
