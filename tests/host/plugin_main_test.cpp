// Winsock before anything that brings windows.h.
#include "tests/support/local_http_server.h"

#include "host/effects_popup.h"
#include "host/plugin_main.h"
#include "host/report_fatal_error.h"
#include "standin/host.h"
#include "host/sdk/script_tagged_value.h"
#include "tests/support/documents_redirect.h"
#include "tests/support/program_threads.h"
#include "tests/support/standin_test_project.h"
#include "toolkit/platform/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

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

TEST_F(PluginMainTest, HostsGetAStateObjectWithHooksUnlessTooOldOrWithoutInterface)
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
    EffectsPopup* first = g_effects_popup.get();

    host.project().suppress_interactive_ui = false;
    EXPECT_EQ(host.call_entry(&PluginMain, 115, 0), A_Err_NONE);
    EXPECT_NE(g_effects_popup.get(), first);
    EXPECT_EQ(g_effects_popup->host_generation(), 0u);
    ASSERT_EQ(host.book().idle_hooks.size(), 1u);
    ASSERT_EQ(host.book().death_hooks.size(), 1u);
    EXPECT_EQ(host.book().idle_hooks[0].hook, &IdleHook);
    EXPECT_EQ(host.book().death_hooks[0].hook, &DeathHook);
    // The death hook before the first idle call keeps the state object.
    host.run_death_hooks();
    EXPECT_NE(g_effects_popup, nullptr);
    EXPECT_TRUE(host.book().message_boxes.empty());
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

// The module loaded as the host loads it, its news request hanging on a local server and its worker pool
// started by a capture: with or without the death hook, nothing of it may run once it is unloaded.
TEST(ModuleLifetime, UnloadWithOrWithoutTheDeathHookLeavesNothingRunning)
{
    bool asked = false;
    for (bool death_hook : {true, false}) {
        SCOPED_TRACE(death_hook);
        qzsdk::test::local_http_server server;
        server.set_behaviour(qzsdk::test::local_http_server::behaviour::hold);
        SetEnvironmentVariableW(L"ZEPHRIN_NEWS_SERVER", qzsdk::utf8_to_wide(server.address()).c_str());
        {
            standin::Host host(standin_test::test_project());
            ASSERT_TRUE(host.load_module(L"Zephrin.aex"));
            EXPECT_EQ(host.call_entry(115, 0), A_Err_NONE);
            host.run_idle(3);
            asked = server.wait_for_requests(1, std::chrono::seconds(10));
            auto execute = reinterpret_cast<decltype(&::execute)>(
                reinterpret_cast<void*>(GetProcAddress(host.module(), "execute")));
            ASSERT_NE(execute, nullptr);
            ScriptTaggedValue verb{}, result{};
            verb.string = const_cast<char*>("screenshot");
            verb.type = script_value_string;
            EXPECT_EQ(execute(&verb, 1, &result), script_call_ok);
            if (death_hook)
                host.run_death_hooks();
            else
                qzsdk::test::leave_running(std::max(1u, std::thread::hardware_concurrency()));  // its pool, parked
            EXPECT_TRUE(host.unload_module(10000));
            EXPECT_TRUE(host.book().message_boxes.empty());
            EXPECT_TRUE(host.book().suites_balanced());
        }
        // An answer now would run the request's code, if it were still there, in a module that is gone.
        server.release_held();
        if (asked) {
            EXPECT_TRUE(server.wait_for_closed(1, std::chrono::seconds(10)));
        }
        SetEnvironmentVariableW(L"ZEPHRIN_NEWS_SERVER", L"127.0.0.1:1");
    }
    if (!asked)
        GTEST_SKIP() << "the module never asked the local news server (ZEPHRIN_NEWS_SERVER not taken): the unload "
                        "ran without a hanging request";
}
