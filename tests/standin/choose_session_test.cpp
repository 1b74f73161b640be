#include "standin/host.h"
#include "standin/session_runner.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

// The session's choose command reaches the loaded module, which applies the entry at the next idle call
// by the route the host allows.
TEST(StandinSession, ChooseAppliesThroughTheModule)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring module = exe;
    module = module.substr(0, module.find_last_of(L'\\') + 1) + L"Zephrin.aex";

    standin::Host host(standin_test::test_project(), true);
    ASSERT_TRUE(host.load_module(module));
    ASSERT_EQ(host.call_entry(115, 0), A_Err_NONE);
    standin::SessionRunner runner(host, L"");
    runner.run(standin::parse_session("idle 2\nselect Title\nchoose Gaussian Blur\nchoose caf\xC3\xA9 glow\n"
                                      "choose Stubborn\nchoose Fade In\nchoose No Such Effect\nidle 2\n"));
    host.run_death_hooks();
    EXPECT_TRUE(host.unload_module(5000));

    ASSERT_EQ(runner.failures().size(), 1u);
    EXPECT_EQ(runner.failures()[0].line, 7);
    const auto& applied = host.book().applications;
    ASSERT_EQ(applied.size(), 4u);
    EXPECT_EQ(applied[0].route, standin::ApplyRoute::menu_command);
    EXPECT_EQ(applied[1].route, standin::ApplyRoute::menu_command);
    EXPECT_EQ(applied[1].name, "Caf\xC3\xA9 Glow");
    EXPECT_EQ(applied[2].route, standin::ApplyRoute::apply_effect);
    EXPECT_EQ(applied[3].route, standin::ApplyRoute::script);
    EXPECT_EQ(applied[3].name, "Fade In");
    EXPECT_TRUE(host.book().suites_balanced());
}
