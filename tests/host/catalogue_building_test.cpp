#include "host/effect_list_builder.h"
#include "host/host_queries.h"
#include "tests/support/temp_folder.h"

#include "standin/host.h"
#include "standin/preset_files.h"
#include "tests/host/host_test_project.h"
#include "toolkit/platform/file_system.h"
#include "host/sdk/host_suites.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class CatalogueBuildingTest : public testing::Test {
protected:
    CatalogueBuildingTest()
    {
        // Earlier tests lay out presets of their own in the same folders.
        qzsdk::remove_tree(GetHostPresetsFolder());
        qzsdk::remove_tree(UserPresetsFolder(0));
        standin::lay_out_presets(host_.project(), 115, 0);
    }
    ~CatalogueBuildingTest() override
    {
        qzsdk::remove_tree(GetHostPresetsFolder());
        qzsdk::remove_tree(UserPresetsFolder(0));
    }

    std::vector<EffectEntry> build()
    {
        SuiteCache suites(host_.basic_suite());
        return BuildEffectList(suites, 0, presets_);
    }

    standin::Host host_{host_test::catalogue_project()};
    PresetCatalogue presets_;
    const std::vector<qzsdk::path>& preset_paths_ = presets_.paths();
};

std::vector<std::string> names(const std::vector<EffectEntry>& list)
{
    std::vector<std::string> result;
    for (const EffectEntry& entry : list)
        result.push_back(entry.name);
    return result;
}

std::vector<std::pair<std::string, int32_t>> keyed(const std::vector<EffectEntry>& list)
{
    std::vector<std::pair<std::string, int32_t>> result;
    for (const EffectEntry& entry : list)
        result.emplace_back(entry.name, entry.key);
    return result;
}

// A host whose installed-effect keys run in a circle: 5, 6, 5, ...
const AEGP_EffectSuite3 circular_effects{
    [](A_long* count) { *count = 1000; return A_Err_NONE; },
    [](AEGP_InstalledEffectKey key, AEGP_InstalledEffectKey* next) { *next = key == 5 ? 6 : 5; return A_Err_NONE; },
    [](AEGP_InstalledEffectKey key, A_char* name) { name[0] = static_cast<A_char>('0' + key); name[1] = 0; return A_Err_NONE; },
    [](AEGP_InstalledEffectKey, A_char* category) { category[0] = 'C'; category[1] = 0; return A_Err_NONE; },
    nullptr, nullptr};

SPBasicSuite circular_host{
    [](const char*, int32_t, const void** suite) { *suite = &circular_effects; return SPErr(0); },
    [](const char*, int32_t) { return SPErr(0); }};

}  // namespace

TEST_F(CatalogueBuildingTest, HostPresetsThenInstalledEffectsThenUserPresets)
{
    std::vector<EffectEntry> list = build();
    EXPECT_EQ(names(list), (std::vector<std::string>{"Fade In", "Aurora", "Gaussian Blur", "Fill & Stroke",
                                                     "Lueur dor\xC3\xA9" "e", "Basic 3D", "Slide Up",
                                                     "Cineon Converter", "Locked Effect", "Lone Greyed",
                                                     "Teal & Orange"}));
    // Preset keys count down with the paths; installed effects keep the host's keys.
    EXPECT_EQ(list[0].key, -1);
    EXPECT_EQ(list[1].key, -2);
    EXPECT_EQ(list.back().key, -3);
    ASSERT_EQ(preset_paths_.size(), 3u);
    EXPECT_EQ(preset_paths_[1], GetHostPresetsFolder().join(qzsdk::path(L"Backgrounds\\Deep\\Aurora.ffx")));
    EXPECT_EQ(list[2].key, 1);
    for (const EffectEntry& entry : list)
        EXPECT_EQ(entry.is_preset, entry.category == "Animation Preset") << entry.name;
    // The category is converted from the ANSI code page like the name.
    EXPECT_EQ(list[4].category, "Stylis\xC3\xA9");
    EXPECT_EQ(list[4].match_name, "lueur dor\xC3\xA9" "e");
    // The preset-like effect whose name a host preset has is left out; the other is a preset.
    EXPECT_EQ(list[6].key, 7);
    EXPECT_TRUE(list[6].is_preset);

}

// The preferences rebuild the catalogue each time they open: the paths are not repeated, and an earlier key
// still names its file.
TEST_F(CatalogueBuildingTest, RebuildsReuseKnownPathsAndKeepTheirKeys)
{
    std::vector<EffectEntry> first = build();
    for (int rebuild = 0; rebuild < 5; ++rebuild)
        EXPECT_EQ(keyed(build()), keyed(first));
    EXPECT_EQ(preset_paths_.size(), 3u);

    // A preset added, one removed: the new one gets the next key, the others keep theirs.
    qzsdk::path added = UserPresetsFolder(0).join(qzsdk::path(L"Later\\Zoom.ffx"));
    qzsdk::create_directories(added.parent());
    qzsdk::test::write_bytes(added, "preset");
    qzsdk::path removed = preset_paths_[1];
    ASSERT_TRUE(DeleteFileW(removed.wide().c_str()));
    std::vector<EffectEntry> changed = build();
    ASSERT_EQ(changed.size(), first.size());
    auto zoom = std::find_if(changed.begin(), changed.end(), [](const EffectEntry& e) { return e.name == "Zoom"; });
    ASSERT_NE(zoom, changed.end());
    EXPECT_EQ(zoom->key, -4);
    EXPECT_EQ(preset_paths_[3], added);
    EXPECT_EQ(changed.front().key, -1);
    EXPECT_EQ(preset_paths_[1], removed) << "a key chosen before the rebuild still names its file";
    EXPECT_EQ(preset_paths_.size(), 4u);
}

TEST(CatalogueBuilding, AHostAnsweringInACircleEndsTheWalk)
{
    SuiteCache suites(&circular_host);
    PresetCatalogue presets;
    std::vector<EffectEntry> list = BuildEffectList(suites, 99, presets);
    std::erase_if(list, [](const EffectEntry& entry) { return entry.is_preset; });
    EXPECT_EQ(names(list), (std::vector<std::string>{"5", "6"}));
}

TEST(HostQueries, NamesOfLayerCompositionAndProject)
{
    standin::Host host(host_test::catalogue_project());
    SuiteCache suites(host.basic_suite());
    EXPECT_EQ(GetCompName(suites, nullptr), "");
    // A camera carries no effects: no layer, and the composition comes from the active item.
    ASSERT_TRUE(host.project().select_layer("Camera 1"));
    EXPECT_EQ(GetActiveLayer(suites), nullptr);
    EXPECT_EQ(GetCompName(suites, GetActiveComp(suites)), "Main Comp");
    host.project().active_item = 0;
    EXPECT_EQ(GetActiveComp(suites), nullptr);

    AEGP_ProjectH project = nullptr;
    suites.get<AEGP_ProjSuite8>().AEGP_GetProjectByIndex(0, &project);
    for (auto [name, shown] : {std::pair{"Shot.AEP", "Shot"}, {"Shot.aep", "Shot"}, {"Edit.aepx", "Edit.aepx"},
                               {"v1.2.aep", "v1.2"}, {"", "Unknown"}, {".aep", "Unknown"}, {"Notes", "Notes"}}) {
        host.project().name = name;
        EXPECT_EQ(GetProjectName(suites, project), shown) << name;
    }
}
