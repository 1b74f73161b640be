#include "standin/host.h"
#include "host/sdk/host_suites.h"
#include "standin/project_handles.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

template <typename Suite>
const Suite* acquire(standin::Host& host)
{
    const void* table = nullptr;
    EXPECT_EQ(host.basic_suite()->AcquireSuite(Suite::name, Suite::version, &table), A_Err_NONE);
    return static_cast<const Suite*>(table);
}

template <typename Suite>
void release(standin::Host& host)
{
    EXPECT_EQ(host.basic_suite()->ReleaseSuite(Suite::name, Suite::version), A_Err_NONE);
}

TEST(StandinSuites, AcquireAndReleaseAreCountedPerNameAndVersionAndUnknownOnesRefused)
{
    standin::Host host(standin_test::test_project());
    ASSERT_NE(acquire<AEGP_LayerSuite14>(host), nullptr);
    ASSERT_NE(acquire<AEGP_LayerSuite5>(host), nullptr);
    EXPECT_FALSE(host.book().suites_balanced());
    release<AEGP_LayerSuite14>(host);
    release<AEGP_LayerSuite5>(host);
    EXPECT_TRUE(host.book().suites_balanced());
    EXPECT_EQ((host.book().suites[{"AEGP Layer Suite", 14}].acquired), 1);
    // Releasing more than was acquired is an error, not a negative balance.
    EXPECT_NE(host.basic_suite()->ReleaseSuite("AEGP Layer Suite", 14), A_Err_NONE);
    EXPECT_TRUE(host.book().suites_balanced());

    // An unknown name or version, or a withheld suite, gives an error and no table.
    const void* table = &host;
    EXPECT_NE(host.basic_suite()->AcquireSuite("AEGP Layer Suite", 99, &table), A_Err_NONE);
    EXPECT_EQ(table, nullptr);
    table = &host;
    EXPECT_NE(host.basic_suite()->AcquireSuite("AEGP Nothing Suite", 1, &table), A_Err_NONE);
    EXPECT_EQ(table, nullptr);
    host.withhold_suite("AEGP Layer Suite", 14);
    EXPECT_NE(host.basic_suite()->AcquireSuite("AEGP Layer Suite", 14, &table), A_Err_NONE);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(host.basic_suite()->AcquireSuite("AEGP Layer Suite", 5, &table), A_Err_NONE);
    EXPECT_NE(table, nullptr);
    EXPECT_EQ(host.book().missing_suites.size(), 3u);
    EXPECT_EQ(host.book().suites.size(), 2u);
}

// Names, times and aspects reach state.json and the captures of the sample sessions; here, the handles.
TEST(StandinSuites, ActiveLayerItemAndCompositionFollowTheProject)
{
    standin::Host host(standin_test::test_project());
    auto layers = acquire<AEGP_LayerSuite14>(host);
    auto layers11 = acquire<AEGP_LayerSuite11>(host);
    auto items = acquire<AEGP_ItemSuite10>(host);
    auto comps9 = acquire<AEGP_CompSuite9>(host);
    auto comps15 = acquire<AEGP_CompSuite15>(host);

    AEGP_LayerH layer = nullptr;
    layers->AEGP_GetActiveLayer(&layer);
    ASSERT_NE(layer, nullptr);
    AEGP_ObjectType type{};
    layers->AEGP_GetLayerObjectType(layer, &type);
    EXPECT_EQ(type, AEGP_ObjectType_TEXT);
    AEGP_CompH comp = nullptr;
    layers11->AEGP_GetLayerParentComp(layer, &comp);
    AEGP_ItemH item = nullptr, active = nullptr;
    comps15->AEGP_GetItemFromComp(comp, &item);
    items->AEGP_GetActiveItem(&active);
    EXPECT_EQ(item, active);
    AEGP_CompH from_item = nullptr;
    comps9->AEGP_GetCompFromItem(active, &from_item);
    EXPECT_EQ(from_item, comp);

    host.project().active_layer = -1;
    layers->AEGP_GetActiveLayer(&layer);
    EXPECT_EQ(layer, nullptr);
    // A stale or made-up handle is refused, not followed.
    EXPECT_NE(layers->AEGP_GetLayerObjectType(reinterpret_cast<AEGP_LayerH>(0x7777777), &type), A_Err_NONE);
}

TEST(StandinSuites, NameBuffersAreInTheAnsiCodePageCutAndTerminated)
{
    standin::Host host(standin_test::test_project());
    auto effects = acquire<AEGP_EffectSuite3>(host);
    A_long count = 0;
    effects->AEGP_GetNumInstalledEffects(&count);
    ASSERT_EQ(count, 7);
    std::vector<std::string> names;
    AEGP_InstalledEffectKey key = 0;
    for (A_long i = 0; i < count; ++i) {
        ASSERT_EQ(effects->AEGP_GetNextInstalledEffect(key, &key), A_Err_NONE);
        char name[AEGP_MAX_EFFECT_NAME_SIZE];
        std::memset(name, 'x', sizeof(name));
        effects->AEGP_GetEffectName(key, name);
        names.push_back(name);
    }
    AEGP_InstalledEffectKey past = 0;
    EXPECT_NE(effects->AEGP_GetNextInstalledEffect(key, &past), A_Err_NONE);
    EXPECT_EQ(names[2], "Caf\xe9 Glow");  // 1252, one byte for é
    EXPECT_EQ(names[6].size(), size_t(AEGP_MAX_EFFECT_NAME_SIZE - 1));
    EXPECT_EQ(names[6], std::string("An effect name that is much longer than forty-seven bytes")
                            .substr(0, AEGP_MAX_EFFECT_NAME_SIZE - 1));
    char category[AEGP_MAX_EFFECT_CATEGORY_NAME_SIZE];
    effects->AEGP_GetEffectCategory(3, category);
    EXPECT_STREQ(category, "Stylize \xe9t\xe9");

    auto projects = acquire<AEGP_ProjSuite8>(host);
    AEGP_ProjectH project = nullptr;
    projects->AEGP_GetProjectByIndex(0, &project);
    char project_name[AEGP_MAX_PROJ_NAME_SIZE];
    projects->AEGP_GetProjectName(project, project_name);
    EXPECT_STREQ(project_name, "Shot.aep");
    AEGP_ProjBitDepth depth = -1;
    projects->AEGP_GetProjectBitDepth(project, &depth);
    EXPECT_EQ(depth, 1);
}

TEST(StandinSuites, ApplyEffectAddsToTheLayerAndCountsLiveReferences)
{
    standin::Host host(standin_test::test_project());
    auto layers = acquire<AEGP_LayerSuite14>(host);
    auto effects2 = acquire<AEGP_EffectSuite2>(host);
    auto effects = acquire<AEGP_EffectSuite3>(host);
    AEGP_LayerH layer = nullptr;
    layers->AEGP_GetActiveLayer(&layer);
    AEGP_EffectRefH effect = nullptr;
    ASSERT_EQ(effects->AEGP_ApplyEffect(standin::standin_plugin_id, layer, 1, &effect), A_Err_NONE);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(host.book().live_effect_refs, 1);
    A_long count = 0;
    effects2->AEGP_GetLayerNumEffects(layer, &count);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(host.book().applications.size(), 1u);
    EXPECT_EQ(host.book().applications[0].name, "Gaussian Blur");
    EXPECT_EQ(host.book().applications[0].route, standin::ApplyRoute::apply_effect);
    EXPECT_EQ(effects->AEGP_DisposeEffect(effect), A_Err_NONE);
    EXPECT_EQ(host.book().live_effect_refs, 0);
    EXPECT_NE(effects->AEGP_DisposeEffect(effect), A_Err_NONE);
    EXPECT_NE(effects->AEGP_ApplyEffect(standin::standin_plugin_id, layer, 99, &effect), A_Err_NONE);
    EXPECT_EQ(effect, nullptr);
}

TEST(StandinSuites, RenderedFrameHasTheCompositionSizeAndWorldType)
{
    standin::Host host(standin_test::test_project());
    auto items = acquire<AEGP_ItemSuite10>(host);
    auto options_suite = acquire<AEGP_RenderOptionsSuite3>(host);
    auto render = acquire<AEGP_RenderSuite3>(host);
    auto worlds = acquire<AEGP_WorldSuite3>(host);
    AEGP_ItemH item = nullptr;
    items->AEGP_GetActiveItem(&item);
    AEGP_RenderOptionsH options = nullptr;
    ASSERT_EQ(options_suite->AEGP_NewFromItem(standin::standin_plugin_id, item, &options), A_Err_NONE);
    options_suite->AEGP_SetWorldType(options, 2);
    options_suite->AEGP_SetDownsampleFactor(options, 1, 1);
    AEGP_FrameReceiptH receipt = nullptr;
    ASSERT_EQ(render->AEGP_RenderAndCheckoutFrame(options, nullptr, nullptr, &receipt), A_Err_NONE);
    AEGP_WorldH world = nullptr;
    render->AEGP_GetReceiptWorld(receipt, &world);
    PF_EffectWorld pixels{};
    ASSERT_EQ(worlds->AEGP_FillOutPFEffectWorld(world, &pixels), A_Err_NONE);
    EXPECT_EQ(pixels.width, 64);
    EXPECT_EQ(pixels.height, 32);
    EXPECT_EQ(pixels.world_type, 2);
    EXPECT_GE(pixels.rowbytes, 64 * 8);
    uint16_t alpha = 0, red_right = 0;
    std::memcpy(&alpha, pixels.data, 2);
    std::memcpy(&red_right, static_cast<char*>(pixels.data) + 63 * 8 + 2, 2);
    EXPECT_EQ(alpha, 32768);
    EXPECT_EQ(red_right, 32768);

    auto colors = acquire<PF_ColorSettingsSuite3>(host);
    AEGP_WorldH copy = nullptr;
    ASSERT_EQ(worlds->AEGP_New(0, 2, 64, 32, &copy), A_Err_NONE);
    PF_EffectWorld target{};
    worlds->AEGP_FillOutPFEffectWorld(copy, &target);
    PF_ColorConversionH conversion = nullptr;
    colors->PF_NewColorConversion(standin::standin_plugin_id, standin::comp_handle(1), &conversion);
    EXPECT_EQ(colors->PF_ConvertWorld(conversion, 1, &pixels, &target), A_Err_NONE);
    // The stand-in's conversion swaps red and blue: the right edge's full red arrives as blue.
    uint16_t blue_right = 0;
    std::memcpy(&blue_right, static_cast<char*>(target.data) + 63 * 8 + 6, 2);
    EXPECT_EQ(blue_right, 32768);
    colors->PF_DisposeColorConversion(conversion);
    worlds->AEGP_Dispose(copy);

    EXPECT_EQ(host.book().live_render_objects, 2);
    render->AEGP_CheckinFrame(receipt);
    options_suite->AEGP_Dispose(options);
    EXPECT_EQ(host.book().live_render_objects, 0);
}

}  // namespace
