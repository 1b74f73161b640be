// Layer, Item, Comp and Proj suites over the in-memory project.
#include "standin/host.h"
#include "standin/project_handles.h"
#include "standin/suites.h"
#include "standin/text_codec.h"

namespace standin {

namespace {

Project* current_project()
{
    Host* host = Host::current();
    return host ? &host->project() : nullptr;
}

const Layer* find_layer(AEGP_LayerH handle, int* item_index = nullptr)
{
    Project* project = current_project();
    if (!project)
        return nullptr;
    auto found = layer_of(*project, handle);
    if (!found)
        return nullptr;
    if (item_index)
        *item_index = found->first;
    return &project->items[found->first].layers[found->second];
}

const Item* find_item(AEGP_ItemH handle)
{
    Project* project = current_project();
    auto found = project ? item_of(*project, handle) : std::nullopt;
    return found ? &project->items[*found] : nullptr;
}

A_Err get_active_layer(AEGP_LayerH* layer)
{
    Project* project = current_project();
    if (!project || !layer)
        return A_Err_PARAMETER;
    *layer = project->find_active_layer() ? layer_handle(project->active_item, project->active_layer) : nullptr;
    return A_Err_NONE;
}

A_Err get_layer_object_type(AEGP_LayerH handle, AEGP_ObjectType* type)
{
    const Layer* layer = find_layer(handle);
    if (!layer || !type)
        return A_Err_PARAMETER;
    *type = layer->type;
    return A_Err_NONE;
}

A_Err get_layer_name(AEGP_LayerH handle, A_char layer_name[AEGP_MAX_LAYER_NAME_SIZE],
                     A_char source_name[AEGP_MAX_LAYER_NAME_SIZE])
{
    const Layer* layer = find_layer(handle);
    if (!layer)
        return A_Err_PARAMETER;
    fill_name_buffer(layer_name, AEGP_MAX_LAYER_NAME_SIZE, layer->name);
    const Project* project = current_project();
    fill_name_buffer(source_name, AEGP_MAX_LAYER_NAME_SIZE,
                     layer->source_item >= 0 ? project->items[layer->source_item].name : std::string());
    return A_Err_NONE;
}

A_Err get_layer_source_item(AEGP_LayerH handle, AEGP_ItemH* item)
{
    const Layer* layer = find_layer(handle);
    if (!layer || !item)
        return A_Err_PARAMETER;
    *item = layer->source_item >= 0 ? item_handle(layer->source_item) : nullptr;
    return A_Err_NONE;
}

A_Err get_layer_parent_comp(AEGP_LayerH handle, AEGP_CompH* comp)
{
    int item = -1;
    if (!find_layer(handle, &item) || !comp)
        return A_Err_PARAMETER;
    *comp = comp_handle(item);
    return A_Err_NONE;
}

// Layers start at composition time 0 here, so layer time and composition time agree.
A_Err get_layer_current_time(AEGP_LayerH handle, AEGP_LTimeMode, A_Time* time)
{
    int item = -1;
    if (!find_layer(handle, &item) || !time)
        return A_Err_PARAMETER;
    *time = current_project()->items[item].current_time;
    return A_Err_NONE;
}

A_Err get_active_item(AEGP_ItemH* item)
{
    Project* project = current_project();
    if (!project || !item)
        return A_Err_PARAMETER;
    bool valid = project->active_item >= 0 && project->active_item < static_cast<int>(project->items.size());
    *item = valid ? item_handle(project->active_item) : nullptr;
    return A_Err_NONE;
}

A_Err get_item_type(AEGP_ItemH handle, AEGP_ItemType* type)
{
    const Item* item = find_item(handle);
    if (!item || !type)
        return A_Err_PARAMETER;
    *type = item->type;
    return A_Err_NONE;
}

A_Err get_item_name(AEGP_ItemH handle, A_char name[AEGP_MAX_ITEM_NAME_SIZE])
{
    const Item* item = find_item(handle);
    if (!item)
        return A_Err_PARAMETER;
    fill_name_buffer(name, AEGP_MAX_ITEM_NAME_SIZE, item->name);
    return A_Err_NONE;
}

A_Err get_item_current_time(AEGP_ItemH handle, A_Time* time)
{
    const Item* item = find_item(handle);
    if (!item || !time)
        return A_Err_PARAMETER;
    *time = item->current_time;
    return A_Err_NONE;
}

A_Err get_item_pixel_aspect_ratio(AEGP_ItemH handle, A_Ratio* ratio)
{
    const Item* item = find_item(handle);
    if (!item || !ratio)
        return A_Err_PARAMETER;
    *ratio = item->pixel_aspect;
    return A_Err_NONE;
}

// The colour value is 1 for every item of a colour-managed project, 0 otherwise.
A_Err get_item_color_value(AEGP_ItemH handle, A_long* color_value)
{
    if (!find_item(handle) || !color_value)
        return A_Err_PARAMETER;
    *color_value = current_project()->color_managed ? 1 : 0;
    return A_Err_NONE;
}

A_Err get_comp_from_item(AEGP_ItemH handle, AEGP_CompH* comp)
{
    Project* project = current_project();
    auto item = project ? item_of(*project, handle) : std::nullopt;
    if (!item || !comp)
        return A_Err_PARAMETER;
    *comp = project->items[*item].type == AEGP_ItemType_COMP ? comp_handle(*item) : nullptr;
    return A_Err_NONE;
}

A_Err get_item_from_comp(AEGP_CompH handle, AEGP_ItemH* item)
{
    Project* project = current_project();
    auto comp = project ? comp_of(*project, handle) : std::nullopt;
    if (!comp || !item)
        return A_Err_PARAMETER;
    *item = item_handle(*comp);
    return A_Err_NONE;
}

A_Err get_num_projects(A_long* count)
{
    if (!current_project() || !count)
        return A_Err_PARAMETER;
    *count = 1;
    return A_Err_NONE;
}

A_Err get_project_by_index(A_long index, AEGP_ProjectH* project)
{
    if (!current_project() || !project || index != 0)
        return A_Err_PARAMETER;
    *project = project_handle();
    return A_Err_NONE;
}

A_Err get_project_name(AEGP_ProjectH handle, A_char name[AEGP_MAX_PROJ_NAME_SIZE])
{
    if (!current_project() || !is_project(handle))
        return A_Err_PARAMETER;
    fill_name_buffer(name, AEGP_MAX_PROJ_NAME_SIZE, current_project()->name);
    return A_Err_NONE;
}

A_Err get_project_bit_depth(AEGP_ProjectH handle, AEGP_ProjBitDepth* depth)
{
    if (!current_project() || !is_project(handle) || !depth)
        return A_Err_PARAMETER;
    int bits = current_project()->bits_per_channel;
    *depth = bits == 8 ? 0 : bits == 16 ? 1 : 2;
    return A_Err_NONE;
}

}  // namespace

const AEGP_LayerSuite14 layer_suite_14{&get_active_layer, &get_layer_object_type};
const AEGP_LayerSuite5 layer_suite_5{&get_layer_name};
const AEGP_LayerSuite11 layer_suite_11{&get_layer_source_item, &get_layer_parent_comp, &get_layer_current_time};
const AEGP_ItemSuite10 item_suite_10{&get_active_item, &get_item_type, &get_item_name, &get_item_current_time};
const AEGP_ItemSuite13 item_suite_13{&get_item_pixel_aspect_ratio, &get_item_color_value};
const AEGP_CompSuite9 comp_suite_9{&get_comp_from_item};
const AEGP_CompSuite15 comp_suite_15{&get_item_from_comp};
const AEGP_ProjSuite8 proj_suite_8{&get_num_projects, &get_project_by_index, &get_project_name,
                                   &get_project_bit_depth};

}  // namespace standin
