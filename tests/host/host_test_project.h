#pragma once
// A stand-in project for the catalogue and applying tests: awkward effect names and categories, presets
// in nested folders, layers of every kind.
#include "popup/maker_folders.h"
#include "standin/project.h"
#include "toolkit/platform/file_system.h"

namespace host_test {

inline constexpr const char* catalogue_project_json = R"({
  "name": "Shot.AEP",
  "effects": [
    {"name": "Gaussian Blur", "category": "Blur & Sharpen"},
    {"name": "Fill & Stroke", "category": "Blur & Sharpen"},
    {"name": "Lueur dor\u00e9e", "category": "Stylis\u00e9"},
    {"name": "Old Blur", "category": "_Obsolete"},
    {"name": "Basic 3D", "category": "_obsolete"},
    {"name": "Fade In", "category": ""},
    {"name": "Slide Up", "category": ""},
    {"name": "Cineon Converter", "category": "Utility", "greyed": true},
    {"name": "Locked Effect", "category": "Utility", "refuse": true},
    {"name": "Lone Greyed", "category": "Greyed Category", "greyed": true}
  ],
  "host_presets": ["Dissolves/Fade In.ffx", "Backgrounds/Deep/Aurora.ffx", "Shapes/Capitals.FFX", "ReadMe.txt"],
  "user_presets": ["Looks/Teal & Orange.ffx"],
  "items": [
    {"name": "Logo.png", "type": "footage", "width": 200, "height": 100},
    {"name": "Main Comp",
     "layers": [
       {"name": "Title", "type": "text"},
       {"name": "", "type": "av", "source": "Logo.png"},
       {"name": "Camera 1", "type": "camera"}
     ]}
  ],
  "active_item": "Main Comp",
  "active_layer": "Title"
})";

inline standin::Project catalogue_project() { return standin::parse_project(catalogue_project_json); }

// The first idle call and the death hook write the user's three files; no later test may find them.
inline void remove_local_files()
{
    for (const wchar_t* name : {settings_file_name, search_file_name, shortcuts_file_name})
        qzsdk::remove_file(MakerFolders::standard().local.join(qzsdk::path(name)));
}

}  // namespace host_test
