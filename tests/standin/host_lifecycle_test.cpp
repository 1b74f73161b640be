#include "host/sdk/host_suites.h"
#include "standin/host.h"
#include "standin/preset_files.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

namespace {

// A module entry of the tests' own: registers both hooks like the real one.
int idle_calls = 0;
int death_calls = 0;
int nested_idle_runs = 0;

A_Err test_idle(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long*)
{
    ++idle_calls;
    // The hook pumping the host again must not run itself inside itself.
    standin::Host::current()->run_idle(1);
    ++nested_idle_runs;
    return A_Err_NONE;
}

A_Err test_death(AEGP_GlobalRefcon, AEGP_DeathRefcon)
{
    ++death_calls;
    return A_Err_NONE;
}

A_Err test_entry(SPBasicSuite* basic, A_long, A_long, AEGP_PluginID plugin_id, AEGP_GlobalRefcon*)
{
    const void* table = nullptr;
    basic->AcquireSuite(AEGP_UtilitySuite11::name, AEGP_UtilitySuite11::version, &table);
    A_Boolean suppressed = 0;
    static_cast<const AEGP_UtilitySuite11*>(table)->AEGP_GetSuppressInteractiveUI(&suppressed);
    basic->ReleaseSuite(AEGP_UtilitySuite11::name, AEGP_UtilitySuite11::version);
    if (suppressed)
        return A_Err_NONE;
    basic->AcquireSuite(AEGP_RegisterSuite6::name, AEGP_RegisterSuite6::version, &table);
    auto hooks = static_cast<const AEGP_RegisterSuite6*>(table);
    hooks->AEGP_RegisterIdleHook(plugin_id, &test_idle, nullptr);
    hooks->AEGP_RegisterDeathHook(plugin_id, &test_death, nullptr);
    basic->ReleaseSuite(AEGP_RegisterSuite6::name, AEGP_RegisterSuite6::version);
    return A_Err_NONE;
}

TEST(StandinHost, HooksRunFromIdleNeverReentrantAndDeathOnce)
{
    idle_calls = death_calls = nested_idle_runs = 0;
    standin::Host host(standin_test::test_project());
    EXPECT_EQ(host.call_entry(&test_entry, 115, 0), A_Err_NONE);
    EXPECT_EQ(host.book().idle_hooks.size(), 1u);
    EXPECT_EQ(host.book().death_hooks.size(), 1u);
    EXPECT_TRUE(host.book().suites_balanced());
    host.run_idle(3);
    EXPECT_EQ(idle_calls, 3);
    EXPECT_EQ(host.book().refused_idle_reentries, 3);
    host.pump(30);
    EXPECT_GT(idle_calls, 3);
    host.run_death_hooks();
    host.run_death_hooks();
    EXPECT_EQ(death_calls, 1);
    int calls_before = idle_calls;
    host.run_idle(2);
    EXPECT_EQ(idle_calls, calls_before);
}

TEST(StandinHost, SuppressedInterfaceReadsThroughTheUtilitySuite)
{
    standin::Project project = standin_test::test_project();
    project.suppress_interactive_ui = true;
    standin::Host host(std::move(project));
    host.call_entry(&test_entry, 115, 0);
    EXPECT_TRUE(host.book().idle_hooks.empty());
}

TEST(StandinHost, PresetFilesAreLaidOutForTheHostGeneration)
{
    standin::Project project = standin_test::test_project();
    project.user_presets = {"Standin Tests/Mine/Glow.ffx"};
    standin::Host host(std::move(project));
    host.call_entry(&test_entry, 113, 4);
    std::wstring user = standin::user_presets_folder(113, 4);
    EXPECT_NE(user.find(L"\\Adobe\\After Effects CC 2014\\User Presets"), std::wstring::npos);
    EXPECT_NE(GetFileAttributesW((user + L"\\Standin Tests\\Mine\\Glow.ffx").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW((standin::host_presets_folder() + L"\\Standin Tests\\Fade In.ffx").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST(StandinHost, MessageBoxesAreRecordedAndClosedWithOk)
{
    standin::Host host(standin_test::test_project());
    int answer = MessageBoxW(host.main_window(), L"Something broke: caf\u00e9", L"Zephrin exception", MB_ICONERROR);
    EXPECT_EQ(answer, IDOK);
    ASSERT_EQ(host.book().message_boxes.size(), 1u);
    EXPECT_EQ(host.book().message_boxes[0].caption, "Zephrin exception");
    EXPECT_EQ(host.book().message_boxes[0].text, "Something broke: caf\xc3\xa9");
}

}  // namespace
