#include "host/host_queries.h"

#include "host/host_text.h"
#include "host/sdk/host_suites.h"
#include "toolkit/platform/text.h"

#include <cstring>

namespace {

const char* const unknown_name = "Unknown";

std::string item_name(SuiteCache& suites, AEGP_ItemH item)
{
    A_char name[AEGP_MAX_ITEM_NAME_SIZE] = {};
    if (item)
        suites.get<AEGP_ItemSuite10>().AEGP_GetItemName(item, name);
    return FromHostBuffer(name);
}

std::string without_project_extension(std::string name)
{
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && qzsdk::to_lower(std::string_view(name).substr(dot)) == ".aep")
        name.erase(dot);
    return name;
}

}  // namespace

AEGP_LayerH GetActiveLayer(SuiteCache& suites)
{
    AEGP_LayerH layer = nullptr;
    const auto& layers = suites.get<AEGP_LayerSuite14>();
    layers.AEGP_GetActiveLayer(&layer);
    if (!layer)
        return nullptr;
    AEGP_ObjectType type = AEGP_ObjectType_LIGHT;
    layers.AEGP_GetLayerObjectType(layer, &type);
    bool takes_effects = type == AEGP_ObjectType_AV || type == AEGP_ObjectType_TEXT || type == AEGP_ObjectType_VECTOR;
    return takes_effects ? layer : nullptr;
}

std::string GetLayerName(SuiteCache& suites, AEGP_LayerH layer)
{
    if (!layer)
        return {};
    A_char name[AEGP_MAX_LAYER_NAME_SIZE] = {};
    A_char source_name[AEGP_MAX_LAYER_NAME_SIZE] = {};
    suites.get<AEGP_LayerSuite5>().AEGP_GetLayerName(layer, name, source_name);
    std::string text = FromHostBuffer(name);
    if (text.empty()) {
        AEGP_ItemH source = nullptr;
        suites.get<AEGP_LayerSuite11>().AEGP_GetLayerSourceItem(layer, &source);
        text = item_name(suites, source);
    }
    return text.empty() ? unknown_name : text;
}

AEGP_CompH GetActiveComp(SuiteCache& suites)
{
    AEGP_CompH comp = nullptr;
    if (AEGP_LayerH layer = GetActiveLayer(suites)) {
        suites.get<AEGP_LayerSuite11>().AEGP_GetLayerParentComp(layer, &comp);
        return comp;
    }
    AEGP_ItemH item = nullptr;
    const auto& items = suites.get<AEGP_ItemSuite10>();
    items.AEGP_GetActiveItem(&item);
    if (!item)
        return nullptr;
    AEGP_ItemType type = AEGP_ItemType_NONE;
    items.AEGP_GetItemType(item, &type);
    if (type == AEGP_ItemType_COMP)
        suites.get<AEGP_CompSuite9>().AEGP_GetCompFromItem(item, &comp);
    return comp;
}

std::string GetCompName(SuiteCache& suites, AEGP_CompH comp)
{
    if (!comp)
        return {};
    AEGP_ItemH item = nullptr;
    suites.get<AEGP_CompSuite15>().AEGP_GetItemFromComp(comp, &item);
    std::string text = item_name(suites, item);
    return text.empty() ? unknown_name : text;
}

std::string GetProjectName(SuiteCache& suites, AEGP_ProjectH project)
{
    A_char name[AEGP_MAX_PROJ_NAME_SIZE] = {};
    if (project)
        suites.get<AEGP_ProjSuite8>().AEGP_GetProjectName(project, name);
    std::string text = without_project_extension(FromHostBuffer(name));
    return text.empty() ? unknown_name : text;
}
