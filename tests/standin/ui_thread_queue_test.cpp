// What the session's thread learns of the UI thread: a loop of the module that waits for input is told
// from a call that is only blocked inside the module, so a session never types into a window that is
// still going away.
#include "standin/ui_thread_queue.h"

#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <optional>
#include <thread>

namespace {

using standin::UiThreadQueue;

class UiThreadQueueTest : public testing::Test {
protected:
    // Asks from another thread while this one waits as `wait_once` does, until the answer is in.
    template <class WaitOnce>
    UiThreadQueue::UiState AskWhile(bool inside_module, WaitOnce wait_once)
    {
        std::atomic<bool> answered{false};
        UiThreadQueue::UiState state = UiThreadQueue::UiState::busy;
        std::thread asker([&] {
            state = queue_.ui_state(300);
            answered = true;
        });
        {
            std::optional<standin::Host::ModuleCall> call;
            if (inside_module)
                call.emplace(host_);
            while (!answered)
                wait_once();
        }
        asker.join();
        host_.dispatch_waiting();
        return state;
    }

    static void DispatchOnce()
    {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }

    standin::Host host_{standin_test::test_project()};
    UiThreadQueue queue_{host_};
};

}  // namespace

TEST_F(UiThreadQueueTest, OnlyALoopThatDispatchesCountsAsWaitingInTheModule)
{
    EXPECT_EQ(AskWhile(false, DispatchOnce), UiThreadQueue::UiState::in_host);
    EXPECT_EQ(AskWhile(true, DispatchOnce), UiThreadQueue::UiState::in_module_loop);
    // Blocked in a system call that answers sent messages meanwhile, as hiding a window can be.
    EXPECT_EQ(AskWhile(true,
                       [] {
                           MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
                           MSG message;
                           PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
                       }),
              UiThreadQueue::UiState::busy);
}
