#include "standin/project_handles.h"

#include <cstdint>

namespace standin {

namespace {

constexpr uintptr_t layer_shift = 20;
constexpr uintptr_t project_value = 0x5052;

template <typename Handle>
Handle encode(uintptr_t value)
{
    return reinterpret_cast<Handle>(value);
}

std::optional<int> index_in(const Project& project, uintptr_t value)
{
    if (value == 0 || value > project.items.size())
        return std::nullopt;
    return static_cast<int>(value - 1);
}

}  // namespace

AEGP_ItemH item_handle(int item) { return encode<AEGP_ItemH>(item + 1); }
AEGP_CompH comp_handle(int item) { return encode<AEGP_CompH>(item + 1); }
AEGP_ProjectH project_handle() { return encode<AEGP_ProjectH>(project_value); }

AEGP_LayerH layer_handle(int item, int layer)
{
    return encode<AEGP_LayerH>((uintptr_t(item + 1) << layer_shift) | uintptr_t(layer + 1));
}

std::optional<int> item_of(const Project& project, AEGP_ItemH handle)
{
    return index_in(project, reinterpret_cast<uintptr_t>(handle));
}

std::optional<int> comp_of(const Project& project, AEGP_CompH handle)
{
    auto item = index_in(project, reinterpret_cast<uintptr_t>(handle));
    if (item && project.items[*item].type != AEGP_ItemType_COMP)
        return std::nullopt;
    return item;
}

std::optional<std::pair<int, int>> layer_of(const Project& project, AEGP_LayerH handle)
{
    auto value = reinterpret_cast<uintptr_t>(handle);
    auto item = index_in(project, value >> layer_shift);
    uintptr_t layer = value & ((uintptr_t(1) << layer_shift) - 1);
    if (!item || layer == 0 || layer > project.items[*item].layers.size())
        return std::nullopt;
    return std::make_pair(*item, static_cast<int>(layer - 1));
}

bool is_project(AEGP_ProjectH handle) { return reinterpret_cast<uintptr_t>(handle) == project_value; }

}  // namespace standin
