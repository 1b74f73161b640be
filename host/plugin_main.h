#pragma once
#include "host/sdk/host_types.h"

// The module's entry, exported undecorated and named in its PiPL resource.
extern "C" A_Err PluginMain(SPBasicSuite* basic, A_long major_version, A_long minor_version,
                            AEGP_PluginID plugin_id, AEGP_GlobalRefcon* global_refcon);
