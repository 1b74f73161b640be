#pragma once
// Our own declarations of the host's plug-in interface: the basic types, handles and hooks that the
// module exchanges with After Effects. Written from what the module calls; layouts are ours.
#include <cstdint>

using A_long = int32_t;
using A_u_long = uint32_t;
using A_short = int16_t;
using A_char = char;
using A_Boolean = uint8_t;
using A_Err = A_long;
using SPErr = int32_t;
using AEGP_PluginID = A_long;
using AEGP_InstalledEffectKey = A_long;
using AEGP_MemSize = uint64_t;

constexpr A_Err A_Err_NONE = 0;
constexpr A_Err A_Err_GENERIC = 1;
constexpr A_Err A_Err_PARAMETER = 3;
constexpr A_Err A_Err_MISSING_SUITE = 13;

struct A_Time {
    A_long value;
    A_u_long scale;
};

struct A_Ratio {
    A_long num;
    A_u_long den;
};

// Opaque handles: the host knows what they point to, the module only passes them back.
struct AEGP_LayerOpaque;
struct AEGP_ItemOpaque;
struct AEGP_CompOpaque;
struct AEGP_ProjectOpaque;
struct AEGP_EffectRefOpaque;
struct AEGP_MemOpaque;
struct AEGP_RenderOptionsOpaque;
struct AEGP_FrameReceiptOpaque;
struct AEGP_WorldOpaque;
struct PF_ColorConversionOpaque;
struct AEGP_GlobalRefconOpaque;
struct AEGP_IdleRefconOpaque;
struct AEGP_DeathRefconOpaque;

using AEGP_LayerH = AEGP_LayerOpaque*;
using AEGP_ItemH = AEGP_ItemOpaque*;
using AEGP_CompH = AEGP_CompOpaque*;
using AEGP_ProjectH = AEGP_ProjectOpaque*;
using AEGP_EffectRefH = AEGP_EffectRefOpaque*;
using AEGP_MemHandle = AEGP_MemOpaque*;
using AEGP_RenderOptionsH = AEGP_RenderOptionsOpaque*;
using AEGP_FrameReceiptH = AEGP_FrameReceiptOpaque*;
using AEGP_WorldH = AEGP_WorldOpaque*;
using PF_ColorConversionH = PF_ColorConversionOpaque*;
using AEGP_GlobalRefcon = AEGP_GlobalRefconOpaque*;
using AEGP_IdleRefcon = AEGP_IdleRefconOpaque*;
using AEGP_DeathRefcon = AEGP_DeathRefconOpaque*;

using AEGP_IdleHook = A_Err (*)(AEGP_GlobalRefcon global_refcon, AEGP_IdleRefcon idle_refcon, A_long* max_sleep);
using AEGP_DeathHook = A_Err (*)(AEGP_GlobalRefcon global_refcon, AEGP_DeathRefcon death_refcon);

// Name buffers are in the system's ANSI code page and always zero-terminated by the host.
constexpr int AEGP_MAX_LAYER_NAME_SIZE = 32;
constexpr int AEGP_MAX_ITEM_NAME_SIZE = 32;
constexpr int AEGP_MAX_PROJ_NAME_SIZE = 32;
constexpr int AEGP_MAX_EFFECT_NAME_SIZE = 48;
constexpr int AEGP_MAX_EFFECT_CATEGORY_NAME_SIZE = 48;

enum AEGP_ObjectType : A_long {
    AEGP_ObjectType_AV = 0,
    AEGP_ObjectType_LIGHT = 1,
    AEGP_ObjectType_CAMERA = 2,
    AEGP_ObjectType_TEXT = 3,
    AEGP_ObjectType_VECTOR = 4,
};

enum AEGP_ItemType : A_long {
    AEGP_ItemType_NONE = 0,
    AEGP_ItemType_FOLDER = 1,
    AEGP_ItemType_COMP = 2,
    AEGP_ItemType_FOOTAGE = 4,
};

enum AEGP_LTimeMode : A_long {
    AEGP_LTimeMode_LayerTime = 0,
    AEGP_LTimeMode_CompTime = 1,
};

// 0, 1, 2 for 8, 16 and 32 bits a channel.
using AEGP_ProjBitDepth = A_long;

// 1, 2, 3 for 8, 16 and 32 bits a channel (the bit depth code plus one).
using AEGP_WorldType = A_long;

// The pixels of a rendered frame: A, R, G, B channels, each 1, 2 or 4 bytes by world type.
struct PF_EffectWorld {
    A_long width;
    A_long height;
    A_long rowbytes;
    AEGP_WorldType world_type;
    void* data;
};

struct SPBasicSuite {
    SPErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
    SPErr (*ReleaseSuite)(const char* name, int32_t version);
};

// The module's entry, named in its PiPL resource.
using PluginMainFunc = A_Err (*)(SPBasicSuite* basic, A_long major_version, A_long minor_version,
                                 AEGP_PluginID plugin_id, AEGP_GlobalRefcon* global_refcon);
