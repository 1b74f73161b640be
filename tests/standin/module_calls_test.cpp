// A message the host dispatches to a window of the module is a call into it, not a loop of it: the host's idle
// calls come again once it returns. A call that takes messages off the queue itself is a loop until it returns,
// whatever calls the host makes inside it meanwhile.
#include "standin/host.h"
#include "tests/support/standin_test_project.h"
#include "tests/support/window_module/window_module.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT look = WM_APP + 1;
constexpr UINT run_loop = WM_APP + 2;
constexpr UINT look_from_host = WM_APP + 3;
constexpr UINT end_loop = WM_APP + 4;

std::vector<std::string> seen;
bool loop_ended = false;

void note_where(const char* by)
{
    standin::Host& host = *standin::Host::current();
    const char* where = host.inside_module_loop() ? ": in a loop" : host.inside_module() ? ": in a call" : ": outside";
    seen.push_back(by + std::string(where));
}

LRESULT CALLBACK module_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case look:
        note_where("dispatched");
        return 0;
    case look_from_host:
        // As a job of the session's would, from inside the module's loop.
        PostMessageW(window, look, 0, 0);
        standin::Host::current()->dispatch_waiting();
        note_where("after the host's dispatch");
        return 0;
    case end_loop:
        loop_ended = true;
        return 0;
    case run_loop: {
        loop_ended = false;
        MSG taken;
        while (!loop_ended) {
            if (!PeekMessageW(&taken, nullptr, 0, 0, PM_REMOVE)) {
                WaitMessage();
                continue;
            }
            DispatchMessageW(&taken);
        }
        note_where("after its loop");
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

class StandinModuleCalls : public testing::Test {
protected:
    void SetUp() override
    {
        seen.clear();
        auto make = standin_test::load_window_module(host_);
        ASSERT_NE(make, nullptr);
        window_ = make(&module_procedure, HWND_MESSAGE, 0, 0, 0, 0);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { DestroyWindow(window_); }

    standin::Host host_{standin_test::test_project()};
    HWND window_ = nullptr;
};

TEST_F(StandinModuleCalls, AMessageTheHostDispatchesToAWindowOfTheModuleIsACallNotALoop)
{
    PostMessageW(window_, look, 0, 0);
    host_.dispatch_waiting();
    EXPECT_EQ(seen, std::vector<std::string>{"dispatched: in a call"});
    EXPECT_FALSE(host_.inside_module());
}

TEST_F(StandinModuleCalls, ACallThatTakesMessagesItselfIsALoopUntilItReturns)
{
    for (UINT message : {run_loop, look, look_from_host, end_loop})
        PostMessageW(window_, message, 0, 0);
    host_.dispatch_waiting();
    const std::vector<std::string> wanted{"dispatched: in a loop", "dispatched: in a loop",
                                          "after the host's dispatch: in a loop", "after its loop: in a loop"};
    EXPECT_EQ(seen, wanted);
    EXPECT_FALSE(host_.inside_module_loop());
    EXPECT_FALSE(host_.inside_module());
}

}  // namespace
