#include "host/frame_capture.h"

#include "host/frame_pixels.h"
#include "host/host_handle.h"
#include "host/host_memory_text.h"
#include "host/host_queries.h"
#include "host/sdk/host_suites.h"
#include "toolkit/platform/qz_exception.h"
#include "toolkit/platform/text.h"

namespace {

constexpr AEGP_ProjBitDepth default_bit_depth = 2;

struct CaptureTarget {
    AEGP_CompH comp = nullptr;
    AEGP_ItemH item = nullptr;
    A_Time time{0, 1};
};

CaptureTarget FindCaptureTarget(SuiteCache& suites)
{
    CaptureTarget target;
    AEGP_LayerH layer = GetActiveLayer(suites);
    if (layer)
        suites.get<AEGP_LayerSuite11>().AEGP_GetLayerParentComp(layer, &target.comp);
    else
        target.comp = GetActiveComp(suites);
    if (!target.comp)
        return target;
    suites.get<AEGP_CompSuite15>().AEGP_GetItemFromComp(target.comp, &target.item);
    if (!target.item)
        return target;
    if (layer)
        suites.get<AEGP_LayerSuite11>().AEGP_GetLayerCurrentTime(layer, AEGP_LTimeMode_CompTime, &target.time);
    else
        suites.get<AEGP_ItemSuite10>().AEGP_GetItemCurrentTime(target.item, &target.time);
    return target;
}

AEGP_ProjBitDepth ProjectBitDepth(SuiteCache& suites, AEGP_PluginID plugin_id, AEGP_ProjectH host_project)
{
    if (host_project) {
        AEGP_ProjBitDepth depth = default_bit_depth;
        suites.get<AEGP_ProjSuite8>().AEGP_GetProjectBitDepth(host_project, &depth);
        return depth >= 0 && depth <= 2 ? depth : default_bit_depth;
    }
    const auto& memory = suites.get<AEGP_MemorySuite1>();
    HostHandle<AEGP_MemHandle> answer(memory.AEGP_FreeMemHandle);
    HostHandle<AEGP_MemHandle> error(memory.AEGP_FreeMemHandle);
    suites.get<AEGP_UtilitySuite10>().AEGP_ExecuteScript(plugin_id, "app.project.bitsPerChannel", 0, answer.out(),
                                                         error.out());
    return BitDepthFromScriptAnswer(ReadMemHandleText(suites, answer.get()));
}

PF_EffectWorld DescribeWorld(SuiteCache& suites, AEGP_WorldH world)
{
    PF_EffectWorld pixels{};
    if (world)
        suites.get<AEGP_WorldSuite3>().AEGP_FillOutPFEffectWorld(world, &pixels);
    CheckFrame(pixels);
    return pixels;
}

// The rendered pixels passed through the host's colour conversion into the new world, alpha kept.
PF_EffectWorld ConvertColours(SuiteCache& suites, AEGP_PluginID plugin_id, AEGP_CompH comp, A_long color_value,
                              const PF_EffectWorld& rendered, HostHandle<AEGP_WorldH>& converted)
{
    const auto& colors = suites.get<PF_ColorSettingsSuite3>();
    HostHandle<PF_ColorConversionH> conversion(colors.PF_DisposeColorConversion);
    colors.PF_NewColorConversion(plugin_id, comp, conversion.out());
    if (!conversion)
        throw qz_exception("the host made no colour conversion for the composition");
    suites.get<AEGP_WorldSuite3>().AEGP_New(plugin_id, rendered.world_type, rendered.width, rendered.height,
                                            converted.out());
    if (!converted)
        throw qz_exception("the host made no world for the colour conversion");
    PF_EffectWorld target = DescribeWorld(suites, converted.get());
    CopyFrameRows(rendered, target);
    colors.PF_ConvertWorld(conversion.get(), color_value, &rendered, &target);
    RestoreAlpha(rendered, target);
    return target;
}

}  // namespace

AEGP_ProjBitDepth BitDepthFromScriptAnswer(std::string_view answer)
{
    const std::string text = qzsdk::trim(answer);
    if (text == "8")
        return 0;
    if (text == "16")
        return 1;
    return default_bit_depth;
}

CapturedFrame CaptureActiveFrame(SuiteCache& suites, const CaptureRequest& request)
{
    CapturedFrame captured;
    AEGP_ProjectH host_project = nullptr;
    suites.get<AEGP_ProjSuite8>().AEGP_GetProjectByIndex(0, &host_project);
    const CaptureTarget target = FindCaptureTarget(suites);
    if (!target.item)
        return captured;
    const AEGP_ProjBitDepth depth = ProjectBitDepth(suites, request.plugin_id, host_project);
    captured.project_name = GetProjectName(suites, host_project ? host_project : request.fallback_project);
    captured.comp_name = GetCompName(suites, target.comp);

    const auto& render_options = suites.get<AEGP_RenderOptionsSuite3>();
    HostHandle<AEGP_RenderOptionsH> options(render_options.AEGP_Dispose);
    render_options.AEGP_NewFromItem(request.plugin_id, target.item, options.out());
    if (!options)
        throw qz_exception("the host made no render options for the composition");
    render_options.AEGP_SetTime(options.get(), target.time);
    render_options.AEGP_SetWorldType(options.get(), depth + 1);
    if (request.full_resolution)
        render_options.AEGP_SetDownsampleFactor(options.get(), 1, 1);

    const auto& render = suites.get<AEGP_RenderSuite3>();
    HostHandle<AEGP_FrameReceiptH> receipt(render.AEGP_CheckinFrame);
    render.AEGP_RenderAndCheckoutFrame(options.get(), nullptr, nullptr, receipt.out());
    if (!receipt)
        throw qz_exception("the host rendered no frame");
    AEGP_WorldH world = nullptr;
    render.AEGP_GetReceiptWorld(receipt.get(), &world);
    PF_EffectWorld pixels = DescribeWorld(suites, world);

    A_long color_value = 0;
    A_Boolean managed = 0;
    suites.get<AEGP_ItemSuite13>().AEGP_GetItemColorValue(target.item, &color_value);
    suites.get<PF_ColorSettingsSuite3>().PF_IsColorManaged(color_value, &managed);
    HostHandle<AEGP_WorldH> converted(suites.get<AEGP_WorldSuite3>().AEGP_Dispose);
    if (managed)
        pixels = ConvertColours(suites, request.plugin_id, target.comp, color_value, pixels, converted);

    captured.image = ImageFromFrame(pixels);
    A_Ratio ratio{1, 1};
    suites.get<AEGP_ItemSuite13>().AEGP_GetItemPixelAspectRatio(target.item, &ratio);
    const uint32_t width = AspectCorrectedWidth(captured.image->width(), ratio);
    if (width != captured.image->width())
        captured.image->scale_to(width, captured.image->height());
    return captured;
}
