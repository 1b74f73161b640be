// Effect suites: installed effects are keyed 1..n in project order; key 0 asks for the first.
#include "standin/host.h"
#include "standin/project_handles.h"
#include "standin/suites.h"
#include "standin/text_codec.h"

namespace standin {

namespace {

const InstalledEffect* find_effect(AEGP_InstalledEffectKey key)
{
    Host* host = Host::current();
    if (!host || key < 1 || key > static_cast<A_long>(host->project().effects.size()))
        return nullptr;
    return &host->project().effects[key - 1];
}

A_Err get_layer_num_effects(AEGP_LayerH handle, A_long* count)
{
    Host* host = Host::current();
    auto layer = host ? layer_of(host->project(), handle) : std::nullopt;
    if (!layer || !count)
        return A_Err_PARAMETER;
    *count = host->book().effect_count(layer->first, layer->second);
    return A_Err_NONE;
}

A_Err get_num_installed_effects(A_long* count)
{
    Host* host = Host::current();
    if (!host || !count)
        return A_Err_PARAMETER;
    *count = static_cast<A_long>(host->project().effects.size());
    return A_Err_NONE;
}

A_Err get_next_installed_effect(AEGP_InstalledEffectKey key, AEGP_InstalledEffectKey* next)
{
    if (!next)
        return A_Err_PARAMETER;
    *next = 0;
    if (!find_effect(key + 1) || (key != 0 && !find_effect(key)))
        return A_Err_PARAMETER;
    *next = key + 1;
    return A_Err_NONE;
}

A_Err get_effect_name(AEGP_InstalledEffectKey key, A_char name[AEGP_MAX_EFFECT_NAME_SIZE])
{
    const InstalledEffect* effect = find_effect(key);
    if (!effect)
        return A_Err_PARAMETER;
    fill_name_buffer(name, AEGP_MAX_EFFECT_NAME_SIZE, effect->name);
    return A_Err_NONE;
}

A_Err get_effect_category(AEGP_InstalledEffectKey key, A_char category[AEGP_MAX_EFFECT_CATEGORY_NAME_SIZE])
{
    const InstalledEffect* effect = find_effect(key);
    if (!effect)
        return A_Err_PARAMETER;
    fill_name_buffer(category, AEGP_MAX_EFFECT_CATEGORY_NAME_SIZE, effect->category);
    return A_Err_NONE;
}

A_Err apply_effect(AEGP_PluginID, AEGP_LayerH handle, AEGP_InstalledEffectKey key, AEGP_EffectRefH* effect)
{
    if (effect)
        *effect = nullptr;
    Host* host = Host::current();
    auto layer = host ? layer_of(host->project(), handle) : std::nullopt;
    if (!layer || !find_effect(key) || !effect ||
        !host->project().items[layer->first].layers[layer->second].takes_effects())
        return A_Err_PARAMETER;
    host->book().applications.push_back(
        {layer->first, layer->second, host->project().effects[key - 1].name, false, ApplyRoute::apply_effect});
    *effect = host->resources().effect_refs.add<AEGP_EffectRefH>(std::make_unique<EffectRef>(EffectRef{key - 1}));
    ++host->book().live_effect_refs;
    return A_Err_NONE;
}

A_Err dispose_effect(AEGP_EffectRefH effect)
{
    Host* host = Host::current();
    if (!host || !host->resources().effect_refs.remove(effect))
        return A_Err_PARAMETER;
    --host->book().live_effect_refs;
    return A_Err_NONE;
}

}  // namespace

const AEGP_EffectSuite2 effect_suite_2{&get_layer_num_effects};
const AEGP_EffectSuite3 effect_suite_3{&get_num_installed_effects, &get_next_installed_effect, &get_effect_name,
                                       &get_effect_category,       &apply_effect,              &dispose_effect};

}  // namespace standin
