#pragma once
// The suite tables the stand-in serves, and the basic suite that hands them out by name and version.
#include "host/sdk/host_suites.h"

#include <string>

namespace standin {

extern const AEGP_UtilitySuite11 utility_suite_11;
extern const AEGP_UtilitySuite10 utility_suite_10;
extern const AEGP_RegisterSuite6 register_suite_6;
extern const AEGP_MemorySuite1 memory_suite_1;
extern const AEGP_LayerSuite14 layer_suite_14;
extern const AEGP_LayerSuite5 layer_suite_5;
extern const AEGP_LayerSuite11 layer_suite_11;
extern const AEGP_ItemSuite10 item_suite_10;
extern const AEGP_ItemSuite13 item_suite_13;
extern const AEGP_CompSuite9 comp_suite_9;
extern const AEGP_CompSuite15 comp_suite_15;
extern const AEGP_ProjSuite8 proj_suite_8;
extern const AEGP_EffectSuite2 effect_suite_2;
extern const AEGP_EffectSuite3 effect_suite_3;
extern const AEGP_RenderOptionsSuite3 render_options_suite_3;
extern const AEGP_RenderSuite3 render_suite_3;
extern const AEGP_WorldSuite3 world_suite_3;
extern const PF_ColorSettingsSuite3 color_settings_suite_3;

// The table for (name, version), or null when the stand-in serves no such suite.
const void* find_suite(const char* name, int32_t version);

extern SPBasicSuite basic_suite;

// A new memory handle holding `text` and its terminating zero; null when no host exists.
AEGP_MemHandle new_text_handle(const char* what, const std::string& text);

}  // namespace standin
