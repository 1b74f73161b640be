#pragma once
// What the user is working on, asked of the host: the active layer, its composition and the project.
#include "host/suite_cache.h"

#include <string>

// The active layer when it can carry effects (AV, text or shape), else null (none, a camera or a light).
AEGP_LayerH GetActiveLayer(SuiteCache& suites);
// The layer's name, else its source's name, else "Unknown"; empty for no layer.
std::string GetLayerName(SuiteCache& suites, AEGP_LayerH layer);
// The active layer's composition, else the active item when it is a composition, else null.
AEGP_CompH GetActiveComp(SuiteCache& suites);
// The composition's name, "Unknown" when empty; empty for no composition.
std::string GetCompName(SuiteCache& suites, AEGP_CompH comp);
// The project's name without a final ".aep" in any case, "Unknown" when nothing is left.
std::string GetProjectName(SuiteCache& suites, AEGP_ProjectH project);
