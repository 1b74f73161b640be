#include "host/effects_popup.h"
#include "host/plugin_main.h"
#include "host/report_fatal_error.h"
#include "standin/host.h"
#include "tests/support/documents_redirect.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

namespace {

class PluginMainTest : public testing::Test {
protected:
    void TearDown() override { g_effects_popup.reset(); }

    void ExpectBox(size_t index, const std::string& text)
    {
        ASSERT_GT(host.book().message_boxes.size(), index);
        EXPECT_EQ(host.book().message_boxes[index].caption, "Zephrin exception");
        EXPECT_EQ(host.book().message_boxes[index].text, text);
    }
    void ExpectSuitesBalanced()
    {
        for (const auto& [suite, use] : host.book().suites)
            EXPECT_EQ(use.acquired, use.released) << suite.first << " " << suite.second;
    }

    standin::Host host{standin_test::test_project()};
};

__attribute__((noinline)) int ReadThrough(volatile int* pointer)
{
    return *pointer;
}

}  // namespace

TEST_F(PluginMainTest, CurrentHostGetsAStateObjectAndBothHooksInOrder)
{
    EXPECT_EQ(host.call_entry(&PluginMain, 115, 0), A_Err_NONE);
    ASSERT_NE(g_effects_popup, nullptr);
    EXPECT_EQ(g_effects_popup->host_generation(), 0u);
    EXPECT_EQ(g_effects_popup->plugin_id(), standin::standin_plugin_id);
    ASSERT_EQ(host.book().idle_hooks.size(), 1u);
    ASSERT_EQ(host.book().death_hooks.size(), 1u);
    EXPECT_EQ(host.book().idle_hooks[0].hook, &IdleHook);
    EXPECT_EQ(host.book().death_hooks[0].hook, &DeathHook);
    EXPECT_TRUE(host.book().message_boxes.empty());
    ExpectSuitesBalanced();
}

TEST_F(PluginMainTest, OldHostsGetNothingAndASuppressedInterfaceNoHooks)
{
    for (int major : {111, 17}) {
        EXPECT_EQ(host.call_entry(&PluginMain, major, 0), A_Err_NONE);
        EXPECT_EQ(g_effects_popup, nullptr) << major;
    }
    host.project().suppress_interactive_ui = true;
    EXPECT_EQ(host.call_entry(&PluginMain, 113, 4), A_Err_NONE);
    ASSERT_NE(g_effects_popup, nullptr);
    EXPECT_EQ(g_effects_popup->host_generation(), 3u);
    EXPECT_TRUE(host.book().idle_hooks.empty());
    EXPECT_TRUE(host.book().death_hooks.empty());
    ExpectSuitesBalanced();
}

TEST_F(PluginMainTest, SecondCallReplacesTheStateObject)
{
    host.call_entry(&PluginMain, 115, 0);
    EffectsPopup* first = g_effects_popup.get();
    host.call_entry(&PluginMain, 116, 0);
    ASSERT_NE(g_effects_popup, nullptr);
    EXPECT_NE(g_effects_popup.get(), first);
    EXPECT_EQ(g_effects_popup->host_generation(), 7u);
    ExpectSuitesBalanced();
}

TEST_F(PluginMainTest, MissingSuiteAtStartIsReportedByNameAndTheEntryStillSucceeds)
{
    host.withhold_suite("AEGP Register Suite", 6);
    EXPECT_EQ(host.call_entry(&PluginMain, 115, 0), A_Err_NONE);
    EXPECT_EQ(host.book().message_boxes.size(), 1u);
    ExpectBox(0, "The host does not provide the suite \"AEGP Register Suite\" version 6.");
    EXPECT_TRUE(host.book().idle_hooks.empty());
    ExpectSuitesBalanced();
}

TEST_F(PluginMainTest, FailedFirstIdleWorkIsReportedOnceNotAtEveryIdle)
{
    host.call_entry(&PluginMain, 115, 0);
    host.withhold_suite("AEGP Utility Suite", 11);
    host.run_idle(5);
    ASSERT_EQ(host.book().message_boxes.size(), 1u);
    EXPECT_NE(host.book().message_boxes[0].text.find("\"AEGP Utility Suite\" version 11"), std::string::npos);
    ExpectSuitesBalanced();
}

TEST_F(PluginMainTest, DeathHookBeforeTheFirstIdleKeepsTheStateObject)
{
    host.call_entry(&PluginMain, 115, 0);
    host.run_death_hooks();
    EXPECT_NE(g_effects_popup, nullptr);
    EXPECT_TRUE(host.book().message_boxes.empty());
    ExpectSuitesBalanced();
}

TEST_F(PluginMainTest, ErrorBoxesNameTheFailureOrSayItIsUnknown)
{
    SPBasicSuite* basic = host.basic_suite();
    EXPECT_FALSE(RunReportingErrors(basic, [] { throw std::runtime_error("disk on fire"); }));
    EXPECT_FALSE(RunReportingErrors(basic, [] { throw 42; }));
    EXPECT_TRUE(RunReportingErrors(basic, [] {}));
    EXPECT_EQ(host.book().message_boxes.size(), 2u);
    ExpectBox(0, "disk on fire");
    ExpectBox(1, "Zephrin has encountered an unrecoverable error.");
    ExpectSuitesBalanced();
}

TEST_F(PluginMainTest, HardwareFaultInGuardedWorkEndsInABoxNamingTheDump)
{
    qzsdk::test::documents_redirect documents;
    InstallFaultHandler();
    EXPECT_FALSE(RunReportingErrors(host.basic_suite(), [] { ReadThrough(nullptr); }));
    RemoveFaultHandler();
    ASSERT_EQ(host.book().message_boxes.size(), 1u);
    const std::string& text = host.book().message_boxes[0].text;
    EXPECT_EQ(text.rfind("Please compress the following file and contact support (", 0), 0u) << text;
    std::string path = text.substr(text.rfind('\n') + 1);
    EXPECT_EQ(path.rfind(documents.get().to_utf8(), 0), 0u) << path;
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
}

TEST(ModuleLifetime, LoadedModuleRunsItsHooksAndUnloadsPromptly)
{
    standin::Host host(standin_test::test_project());
    ASSERT_TRUE(host.load_module(L"Zephrin.aex"));
    EXPECT_EQ(host.call_entry(115, 0), A_Err_NONE);
    EXPECT_EQ(host.book().idle_hooks.size(), 1u);
    host.run_idle(3);
    host.run_death_hooks();
    EXPECT_TRUE(host.unload_module(5000));
    EXPECT_TRUE(host.book().message_boxes.empty());
    EXPECT_TRUE(host.book().suites_balanced());
}
