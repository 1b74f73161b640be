#pragma once
// A small project for tests that run the stand-in host: two compositions, layers of every kind, effects with
// the awkward names (ampersands, 1252 letters, an empty category, a greyed and a refusing effect).
#include "standin/project.h"

namespace standin_test {

inline constexpr const char* project_json = R"({
  "name": "Shot.aep",
  "bits_per_channel": 16,
  "effects": [
    {"name": "Gaussian Blur", "category": "Blur & Sharpen"},
    {"name": "Fill & Stroke", "category": "Blur & Sharpen"},
    {"name": "Caf\u00e9 Glow", "category": "Stylize \u00e9t\u00e9"},
    {"name": "Old Thing", "category": "_Obsolete", "greyed": true},
    {"name": "Fade In", "category": ""},
    {"name": "Stubborn", "category": "Utility", "refuse": true},
    {"name": "An effect name that is much longer than forty-seven bytes", "category": "Utility"}
  ],
  "host_presets": ["Standin Tests/Fade In.ffx"],
  "items": [
    {"name": "Logo.png", "type": "footage", "width": 200, "height": 100},
    {"name": "Comp 1", "width": 64, "height": 32, "pixel_aspect": [2, 1], "current_time": [5, 24],
     "layers": [
       {"name": "Title", "type": "text"},
       {"name": "", "type": "av", "source": "Logo.png"},
       {"name": "Camera 1", "type": "camera"},
       {"name": "Shape", "type": "shape"}
     ]},
    {"name": "Comp 2", "layers": [{"name": "Key Light", "type": "light"}]}
  ],
  "active_item": "Comp 1",
  "active_layer": "Title"
})";

inline standin::Project test_project() { return standin::parse_project(project_json); }

}  // namespace standin_test
