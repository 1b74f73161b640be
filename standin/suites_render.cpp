// Render Options, Render, World and PF Color Settings suites: frames are gradients of the item's size.
#include "standin/host.h"
#include "standin/project_handles.h"
#include "standin/suites.h"

namespace standin {

namespace {

HostResources* current_resources()
{
    Host* host = Host::current();
    return host ? &host->resources() : nullptr;
}

void count_render_object(int change)
{
    Host::current()->book().live_render_objects += change;
}

A_Err new_from_item(AEGP_PluginID, AEGP_ItemH handle, AEGP_RenderOptionsH* options)
{
    if (options)
        *options = nullptr;
    Host* host = Host::current();
    auto item = host ? item_of(host->project(), handle) : std::nullopt;
    if (!item || !options)
        return A_Err_PARAMETER;
    int bits = host->project().bits_per_channel;
    auto object = std::make_unique<RenderOptions>();
    object->item = *item;
    object->time = host->project().items[*item].current_time;
    object->world_type = bits == 8 ? 1 : bits == 16 ? 2 : 3;
    *options = host->resources().render_options.add<AEGP_RenderOptionsH>(std::move(object));
    count_render_object(1);
    return A_Err_NONE;
}

RenderOptions* find_options(AEGP_RenderOptionsH options)
{
    HostResources* resources = current_resources();
    return resources ? resources->render_options.find(options) : nullptr;
}

A_Err set_time(AEGP_RenderOptionsH handle, A_Time time)
{
    RenderOptions* options = find_options(handle);
    if (!options || time.scale == 0)
        return A_Err_PARAMETER;
    options->time = time;
    return A_Err_NONE;
}

A_Err set_world_type(AEGP_RenderOptionsH handle, AEGP_WorldType type)
{
    RenderOptions* options = find_options(handle);
    if (!options || !World::valid_type(type))
        return A_Err_PARAMETER;
    options->world_type = type;
    return A_Err_NONE;
}

A_Err set_downsample_factor(AEGP_RenderOptionsH handle, A_short x, A_short y)
{
    RenderOptions* options = find_options(handle);
    if (!options || x < 1 || y < 1)
        return A_Err_PARAMETER;
    options->downsample_x = x;
    options->downsample_y = y;
    return A_Err_NONE;
}

A_Err dispose_options(AEGP_RenderOptionsH handle)
{
    HostResources* resources = current_resources();
    if (!resources || !resources->render_options.remove(handle))
        return A_Err_PARAMETER;
    count_render_object(-1);
    return A_Err_NONE;
}

A_Err render_and_checkout_frame(AEGP_RenderOptionsH handle, AEGP_RenderSuite3::CancelFunc, void*,
                                AEGP_FrameReceiptH* receipt)
{
    if (receipt)
        *receipt = nullptr;
    RenderOptions* options = find_options(handle);
    if (!options || !receipt)
        return A_Err_PARAMETER;
    const Item& item = Host::current()->project().items[options->item];
    A_long width = std::max(1, item.width / options->downsample_x);
    A_long height = std::max(1, item.height / options->downsample_y);
    auto frame = std::make_unique<FrameReceipt>(FrameReceipt{World(options->world_type, width, height)});
    frame->world.fill_gradient(Host::current()->project().frame_alpha);
    *receipt = current_resources()->receipts.add<AEGP_FrameReceiptH>(std::move(frame));
    count_render_object(1);
    return A_Err_NONE;
}

A_Err checkin_frame(AEGP_FrameReceiptH receipt)
{
    HostResources* resources = current_resources();
    if (!resources || !resources->receipts.remove(receipt))
        return A_Err_PARAMETER;
    count_render_object(-1);
    return A_Err_NONE;
}

// The receipt's world belongs to the receipt and is not disposed on its own; its handle is the receipt's.
A_Err get_receipt_world(AEGP_FrameReceiptH handle, AEGP_WorldH* world)
{
    HostResources* resources = current_resources();
    FrameReceipt* receipt = resources ? resources->receipts.find(handle) : nullptr;
    if (!receipt || !world)
        return A_Err_PARAMETER;
    *world = reinterpret_cast<AEGP_WorldH>(handle);
    return A_Err_NONE;
}

A_Err new_world(AEGP_PluginID, AEGP_WorldType type, A_long width, A_long height, AEGP_WorldH* world)
{
    if (world)
        *world = nullptr;
    HostResources* resources = current_resources();
    if (!resources || !world || !World::valid_type(type) || width < 1 || height < 1 || width > 16384 ||
        height > 16384)
        return A_Err_PARAMETER;
    *world = resources->worlds.add<AEGP_WorldH>(std::make_unique<World>(type, width, height));
    count_render_object(1);
    return A_Err_NONE;
}

A_Err dispose_world(AEGP_WorldH world)
{
    HostResources* resources = current_resources();
    if (!resources || !resources->worlds.remove(world))
        return A_Err_PARAMETER;
    count_render_object(-1);
    return A_Err_NONE;
}

World* find_world(AEGP_WorldH handle)
{
    HostResources* resources = current_resources();
    if (!resources)
        return nullptr;
    if (World* world = resources->worlds.find(handle))
        return world;
    FrameReceipt* receipt = resources->receipts.find(handle);
    return receipt ? &receipt->world : nullptr;
}

A_Err fill_out_pf_effect_world(AEGP_WorldH handle, PF_EffectWorld* pixels)
{
    World* world = find_world(handle);
    if (!world || !pixels)
        return A_Err_PARAMETER;
    *pixels = world->describe();
    return A_Err_NONE;
}

A_Err is_color_managed(A_long color_value, A_Boolean* managed)
{
    if (!managed)
        return A_Err_PARAMETER;
    *managed = color_value != 0;
    return A_Err_NONE;
}

A_Err new_color_conversion(AEGP_PluginID, AEGP_CompH comp, PF_ColorConversionH* conversion)
{
    if (conversion)
        *conversion = nullptr;
    Host* host = Host::current();
    auto item = host ? comp_of(host->project(), comp) : std::nullopt;
    if (!item || !conversion)
        return A_Err_PARAMETER;
    *conversion = host->resources().conversions.add<PF_ColorConversionH>(
        std::make_unique<ColorConversion>(ColorConversion{*item}));
    count_render_object(1);
    return A_Err_NONE;
}

A_Err convert(PF_ColorConversionH conversion, A_long, const PF_EffectWorld* source, PF_EffectWorld* target)
{
    HostResources* resources = current_resources();
    if (!resources || !resources->conversions.find(conversion) || !source || !target)
        return A_Err_PARAMETER;
    return convert_world(*source, *target) ? A_Err_NONE : A_Err_PARAMETER;
}

A_Err dispose_color_conversion(PF_ColorConversionH conversion)
{
    HostResources* resources = current_resources();
    if (!resources || !resources->conversions.remove(conversion))
        return A_Err_PARAMETER;
    count_render_object(-1);
    return A_Err_NONE;
}

}  // namespace

const AEGP_RenderOptionsSuite3 render_options_suite_3{&new_from_item, &set_time, &set_world_type,
                                                      &set_downsample_factor, &dispose_options};
const AEGP_RenderSuite3 render_suite_3{&render_and_checkout_frame, &checkin_frame, &get_receipt_world};
const AEGP_WorldSuite3 world_suite_3{&new_world, &dispose_world, &fill_out_pf_effect_world};
const PF_ColorSettingsSuite3 color_settings_suite_3{&is_color_managed, &new_color_conversion, &convert,
                                                    &dispose_color_conversion};

}  // namespace standin
