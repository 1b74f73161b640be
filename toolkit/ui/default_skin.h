#pragma once
// The process-wide skin tables: the built-in default skin (fixed after load) and the theme's override map.
#include "toolkit/ui/property_bag.h"

namespace qzsdk::ui {

property_map init_default_skin();
property_map init_skin_overrides();

extern const property_map default_skin;
// Replaced whole by a theme change; every bag sees the change at its next lookup.
extern property_map skin_overrides;

}  // namespace qzsdk::ui
