// Session input reaches the host's UI thread as real input, held across an idle call.
#include "host/sdk/host_suites.h"
#include "standin/host.h"
#include "standin/session_runner.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

namespace {

bool chord_seen_at_idle = false;

A_Err watch_keys(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long*)
{
    if ((GetKeyState(VK_CONTROL) & 0x8000) && (GetKeyState(VK_SPACE) & 0x8000))
        chord_seen_at_idle = true;
    return A_Err_NONE;
}

A_Err entry(SPBasicSuite* basic, A_long, A_long, AEGP_PluginID plugin_id, AEGP_GlobalRefcon*)
{
    const void* table = nullptr;
    basic->AcquireSuite(AEGP_RegisterSuite6::name, AEGP_RegisterSuite6::version, &table);
    static_cast<const AEGP_RegisterSuite6*>(table)->AEGP_RegisterIdleHook(plugin_id, &watch_keys, nullptr);
    basic->ReleaseSuite(AEGP_RegisterSuite6::name, AEGP_RegisterSuite6::version);
    return A_Err_NONE;
}

TEST(StandinSessionInput, ChordIsDownAtAnIdleCallAndUpAfterwards)
{
    chord_seen_at_idle = false;
    standin::Host host(standin_test::test_project(), true);
    host.call_entry(&entry, 115, 0);
    host.pump(50);
    standin::SessionRunner runner(host, L"");
    EXPECT_TRUE(runner.run(standin::parse_session("keys ctrl+space\nidle 2\n")));
    EXPECT_TRUE(chord_seen_at_idle);
    EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);
    EXPECT_FALSE(GetKeyState(VK_SPACE) & 0x8000);
}

TEST(StandinSessionInput, CommandsWithoutTargetFailClearly)
{
    standin::Host host(standin_test::test_project(), true);
    standin::SessionRunner runner(host, L"");
    EXPECT_FALSE(runner.run(standin::parse_session("screenshot shot\nscript news 1\nselect Nobody\nquit\nidle\n")));
    ASSERT_EQ(runner.failures().size(), 3u);
    EXPECT_NE(runner.failures()[0].message.find("--out"), std::string::npos);
    EXPECT_NE(runner.failures()[1].message.find("no script interface"), std::string::npos);
    EXPECT_EQ(runner.failures()[2].line, 3);
    EXPECT_TRUE(runner.quit());
    EXPECT_EQ(host.book().idle_calls, 0);
}

}  // namespace
