#include "host/sdk/host_types.h"

extern "C" A_Err PluginMain(SPBasicSuite*, A_long, A_long, AEGP_PluginID, AEGP_GlobalRefcon*)
{
    return A_Err_NONE;
}
