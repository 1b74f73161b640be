#pragma once
// One table of function pointers for each (suite name, version) the module acquires, holding just the
// operations it calls. Error codes are returned but the module does not depend on them.
#include "host/sdk/host_types.h"

#define ZEPHRIN_SUITE(suite_name, suite_version)          \
    static constexpr const char* name = suite_name;          \
    static constexpr int32_t version = suite_version;

struct AEGP_UtilitySuite11 {
    ZEPHRIN_SUITE("AEGP Utility Suite", 11)
    A_Err (*AEGP_GetMainHWND)(void* main_hwnd);
    A_Err (*AEGP_GetSuppressInteractiveUI)(A_Boolean* suppressed);
};

struct AEGP_UtilitySuite10 {
    ZEPHRIN_SUITE("AEGP Utility Suite", 10)
    // Runs the script synchronously; result and error text come back in handles the caller frees.
    A_Err (*AEGP_ExecuteScript)(AEGP_PluginID plugin_id, const A_char* utf8_script, A_Boolean platform_encoding,
                                AEGP_MemHandle* result, AEGP_MemHandle* error);
};

struct AEGP_RegisterSuite6 {
    ZEPHRIN_SUITE("AEGP Register Suite", 6)
    A_Err (*AEGP_RegisterDeathHook)(AEGP_PluginID plugin_id, AEGP_DeathHook hook, AEGP_DeathRefcon refcon);
    A_Err (*AEGP_RegisterIdleHook)(AEGP_PluginID plugin_id, AEGP_IdleHook hook, AEGP_IdleRefcon refcon);
};

struct AEGP_LayerSuite14 {
    ZEPHRIN_SUITE("AEGP Layer Suite", 14)
    A_Err (*AEGP_GetActiveLayer)(AEGP_LayerH* layer);
    A_Err (*AEGP_GetLayerObjectType)(AEGP_LayerH layer, AEGP_ObjectType* type);
};

struct AEGP_LayerSuite5 {
    ZEPHRIN_SUITE("AEGP Layer Suite", 5)
    A_Err (*AEGP_GetLayerName)(AEGP_LayerH layer, A_char layer_name[AEGP_MAX_LAYER_NAME_SIZE],
                               A_char source_name[AEGP_MAX_LAYER_NAME_SIZE]);
};

struct AEGP_LayerSuite11 {
    ZEPHRIN_SUITE("AEGP Layer Suite", 11)
    A_Err (*AEGP_GetLayerSourceItem)(AEGP_LayerH layer, AEGP_ItemH* item);
    A_Err (*AEGP_GetLayerParentComp)(AEGP_LayerH layer, AEGP_CompH* comp);
    A_Err (*AEGP_GetLayerCurrentTime)(AEGP_LayerH layer, AEGP_LTimeMode mode, A_Time* time);
};

struct AEGP_ItemSuite10 {
    ZEPHRIN_SUITE("AEGP Item Suite", 10)
    A_Err (*AEGP_GetActiveItem)(AEGP_ItemH* item);
    A_Err (*AEGP_GetItemType)(AEGP_ItemH item, AEGP_ItemType* type);
    A_Err (*AEGP_GetItemName)(AEGP_ItemH item, A_char name[AEGP_MAX_ITEM_NAME_SIZE]);
    A_Err (*AEGP_GetItemCurrentTime)(AEGP_ItemH item, A_Time* time);
};

struct AEGP_ItemSuite13 {
    ZEPHRIN_SUITE("AEGP Item Suite", 13)
    A_Err (*AEGP_GetItemPixelAspectRatio)(AEGP_ItemH item, A_Ratio* ratio);
    // The item's working colour value, handed to the colour settings suite.
    A_Err (*AEGP_GetItemColorValue)(AEGP_ItemH item, A_long* color_value);
};

struct AEGP_CompSuite9 {
    ZEPHRIN_SUITE("AEGP Comp Suite", 9)
    A_Err (*AEGP_GetCompFromItem)(AEGP_ItemH item, AEGP_CompH* comp);
};

struct AEGP_CompSuite15 {
    ZEPHRIN_SUITE("AEGP Comp Suite", 15)
    A_Err (*AEGP_GetItemFromComp)(AEGP_CompH comp, AEGP_ItemH* item);
};

struct AEGP_ProjSuite8 {
    ZEPHRIN_SUITE("AEGP Proj Suite", 8)
    A_Err (*AEGP_GetNumProjects)(A_long* count);
    A_Err (*AEGP_GetProjectByIndex)(A_long index, AEGP_ProjectH* project);
    A_Err (*AEGP_GetProjectName)(AEGP_ProjectH project, A_char name[AEGP_MAX_PROJ_NAME_SIZE]);
    A_Err (*AEGP_GetProjectBitDepth)(AEGP_ProjectH project, AEGP_ProjBitDepth* depth);
};

struct AEGP_EffectSuite2 {
    ZEPHRIN_SUITE("AEGP Effect Suite", 2)
    A_Err (*AEGP_GetLayerNumEffects)(AEGP_LayerH layer, A_long* count);
};

struct AEGP_EffectSuite3 {
    ZEPHRIN_SUITE("AEGP Effect Suite", 3)
    A_Err (*AEGP_GetNumInstalledEffects)(A_long* count);
    // Key 0 gives the first installed effect; each next key comes from the previous one.
    A_Err (*AEGP_GetNextInstalledEffect)(AEGP_InstalledEffectKey key, AEGP_InstalledEffectKey* next);
    A_Err (*AEGP_GetEffectName)(AEGP_InstalledEffectKey key, A_char name[AEGP_MAX_EFFECT_NAME_SIZE]);
    A_Err (*AEGP_GetEffectCategory)(AEGP_InstalledEffectKey key, A_char category[AEGP_MAX_EFFECT_CATEGORY_NAME_SIZE]);
    A_Err (*AEGP_ApplyEffect)(AEGP_PluginID plugin_id, AEGP_LayerH layer, AEGP_InstalledEffectKey key,
                              AEGP_EffectRefH* effect);
    A_Err (*AEGP_DisposeEffect)(AEGP_EffectRefH effect);
};

struct AEGP_MemorySuite1 {
    ZEPHRIN_SUITE("AEGP Memory Suite", 1)
    A_Err (*AEGP_NewMemHandle)(AEGP_PluginID plugin_id, const A_char* what, AEGP_MemSize size, A_long flags,
                               AEGP_MemHandle* handle);
    A_Err (*AEGP_FreeMemHandle)(AEGP_MemHandle handle);
    A_Err (*AEGP_LockMemHandle)(AEGP_MemHandle handle, void** pointer);
    A_Err (*AEGP_UnlockMemHandle)(AEGP_MemHandle handle);
    A_Err (*AEGP_GetMemHandleSize)(AEGP_MemHandle handle, AEGP_MemSize* size);
};

struct AEGP_RenderOptionsSuite3 {
    ZEPHRIN_SUITE("AEGP Render Options Suite", 3)
    A_Err (*AEGP_NewFromItem)(AEGP_PluginID plugin_id, AEGP_ItemH item, AEGP_RenderOptionsH* options);
    A_Err (*AEGP_SetTime)(AEGP_RenderOptionsH options, A_Time time);
    A_Err (*AEGP_SetWorldType)(AEGP_RenderOptionsH options, AEGP_WorldType type);
    A_Err (*AEGP_SetDownsampleFactor)(AEGP_RenderOptionsH options, A_short x, A_short y);
    A_Err (*AEGP_Dispose)(AEGP_RenderOptionsH options);
};

struct AEGP_RenderSuite3 {
    ZEPHRIN_SUITE("AEGP Render Suite", 3)
    using CancelFunc = A_Err (*)(void* refcon, A_Boolean* cancel);
    A_Err (*AEGP_RenderAndCheckoutFrame)(AEGP_RenderOptionsH options, CancelFunc cancel, void* cancel_refcon,
                                         AEGP_FrameReceiptH* receipt);
    A_Err (*AEGP_CheckinFrame)(AEGP_FrameReceiptH receipt);
    A_Err (*AEGP_GetReceiptWorld)(AEGP_FrameReceiptH receipt, AEGP_WorldH* world);
};

struct AEGP_WorldSuite3 {
    ZEPHRIN_SUITE("AEGP World Suite", 3)
    A_Err (*AEGP_New)(AEGP_PluginID plugin_id, AEGP_WorldType type, A_long width, A_long height, AEGP_WorldH* world);
    A_Err (*AEGP_Dispose)(AEGP_WorldH world);
    A_Err (*AEGP_FillOutPFEffectWorld)(AEGP_WorldH world, PF_EffectWorld* pixels);
};

struct PF_ColorSettingsSuite3 {
    ZEPHRIN_SUITE("PF Color Settings Suite", 3)
    A_Err (*PF_IsColorManaged)(A_long color_value, A_Boolean* managed);
    A_Err (*PF_NewColorConversion)(AEGP_PluginID plugin_id, AEGP_CompH comp, PF_ColorConversionH* conversion);
    A_Err (*PF_ConvertWorld)(PF_ColorConversionH conversion, A_long color_value, const PF_EffectWorld* source,
                             PF_EffectWorld* target);
    A_Err (*PF_DisposeColorConversion)(PF_ColorConversionH conversion);
};

#undef ZEPHRIN_SUITE
