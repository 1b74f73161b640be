#include "standin/bookkeeping.h"

#include <algorithm>

namespace standin {

bool Bookkeeping::suites_balanced() const
{
    return std::all_of(suites.begin(), suites.end(),
                       [](const auto& entry) { return entry.second.acquired == entry.second.released; });
}

int Bookkeeping::effect_count(int item, int layer) const
{
    return static_cast<int>(std::count_if(applications.begin(), applications.end(), [&](const Application& a) {
        return a.item == item && a.layer == layer && !a.is_preset;
    }));
}

const char* route_name(ApplyRoute route)
{
    switch (route) {
    case ApplyRoute::menu_command: return "menu";
    case ApplyRoute::apply_effect: return "ApplyEffect";
    case ApplyRoute::script: return "script";
    }
    return "unknown";
}

}  // namespace standin
