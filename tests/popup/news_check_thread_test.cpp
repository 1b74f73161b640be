// The news thread's lifetime: it never blocks the UI thread, publishes its count once, and ends promptly
// when stopped or destroyed during a request that hangs.
#include "popup/news_check_thread.h"
#include "tests/support/local_http_server.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {

using qzsdk::test::local_http_server;
using std::chrono::steady_clock;

// Failure limits, not speed measurements.
constexpr auto arrival_limit = std::chrono::seconds(10);
constexpr auto stop_limit = std::chrono::seconds(5);

class NewsThread : public testing::Test {
protected:
    NewsServer Local(const local_http_server& target) const
    {
        NewsServer local;
        local.host = target.address();
        return local;
    }

    // What the popup's one-second poll would see once the check is over, or -1 when the limit passes.
    static int32_t PollUntilDone(const NewsCheckThread& news)
    {
        auto give_up = steady_clock::now() + arrival_limit;
        while (news.count() == -1 && steady_clock::now() < give_up)
            Sleep(10);
        return news.count();
    }

    // Whether the stop came back within the limit; a missing stop would wait for the request's time-out.
    static bool StopsPromptly(NewsCheckThread& news)
    {
        auto start = steady_clock::now();
        news.Stop();
        return steady_clock::now() - start < stop_limit;
    }

    local_http_server server;
};

TEST_F(NewsThread, DestroyingDuringAHangingRequestReturnsPromptly)
{
    server.set_behaviour(local_http_server::behaviour::hold);
    auto news = std::make_unique<NewsCheckThread>(Local(server), 0);
    ASSERT_TRUE(server.wait_for_requests(1, arrival_limit));
    auto start = steady_clock::now();
    news.reset();
    EXPECT_LT(steady_clock::now() - start, stop_limit);
}

TEST_F(NewsThread, StoppedCheckEndsWithoutCountAndStopsOnce)
{
    server.set_behaviour(local_http_server::behaviour::hold);
    NewsCheckThread news(Local(server), 0);
    ASSERT_TRUE(server.wait_for_requests(1, arrival_limit));
    EXPECT_TRUE(StopsPromptly(news));
    EXPECT_EQ(news.count(), 0) << "a poll waiting for -1 to change would never stop";
    EXPECT_TRUE(StopsPromptly(news));
    NewsCheckThread early(Local(server), 0);  // stopped before its request starts
    EXPECT_TRUE(StopsPromptly(early));
    EXPECT_EQ(early.count(), 0);
}

TEST_F(NewsThread, ChecksOverlapWithoutUndoingEachOthersSetUp)
{
    local_http_server other;
    other.answer_with(200, "5");
    other.set_behaviour(local_http_server::behaviour::hold);
    server.answer_with(200, "2");
    auto first = std::make_unique<NewsCheckThread>(Local(server), 0);
    NewsCheckThread second(Local(other), 0);
    EXPECT_EQ(PollUntilDone(*first), 2);
    ASSERT_TRUE(other.wait_for_requests(1, arrival_limit));
    first.reset();
    other.release_held();
    EXPECT_EQ(PollUntilDone(second), 5);
}

}  // namespace
