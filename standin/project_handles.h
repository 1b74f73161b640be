#pragma once
// Layer, item, composition and project handles are indices into the project, encoded so that a null
// handle never names anything and a handle stays valid while tests change the active layer.
#include "host/sdk/host_types.h"
#include "standin/project.h"

#include <optional>
#include <utility>

namespace standin {

AEGP_ItemH item_handle(int item);
AEGP_CompH comp_handle(int item);
AEGP_LayerH layer_handle(int item, int layer);
AEGP_ProjectH project_handle();

// Empty when the handle names nothing in the project (or, for a composition, an item of another type).
std::optional<int> item_of(const Project& project, AEGP_ItemH handle);
std::optional<int> comp_of(const Project& project, AEGP_CompH handle);
std::optional<std::pair<int, int>> layer_of(const Project& project, AEGP_LayerH handle);
bool is_project(AEGP_ProjectH handle);

}  // namespace standin
