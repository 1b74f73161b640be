// The news check's request against the in-process server, run on the test's own thread.
#include "popup/curl_global.h"
#include "tests/popup/news_check_test_api.h"
#include "tests/support/local_http_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>

namespace {

using qzsdk::test::local_http_server;

class NewsRequest : public testing::Test {
protected:
    NewsServer Local() const
    {
        NewsServer local;
        local.host = server.address();
        return local;
    }

    int32_t CheckWith(int status, const std::string& answer, int64_t last_visit = 1700000000)
    {
        server.answer_with(status, answer);
        check.run(last_visit);
        return check.count();
    }

    CurlGlobal curl;
    local_http_server server;
    NewsCheck check{Local()};
};

TEST_F(NewsRequest, PostsTheFormAndReadsTheCount)
{
    EXPECT_EQ(CheckWith(200, "12", 1733500000), 12);
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/scripts/qz_zephrin/");
    using Fields = std::map<std::string, std::string>;
    EXPECT_EQ(requests[0].form_fields(), (Fields{{"updates", "1"}, {"time", "1733500000"}}));

    EXPECT_EQ(CheckWith(200, "0", -42), 0);
    EXPECT_EQ(server.requests().at(1).form_fields()["time"], "-42");
    EXPECT_EQ(CheckWith(200, " 7"), 7);
}

TEST_F(NewsRequest, FailedAnswersGiveNoCount)
{
    EXPECT_EQ(CheckWith(500, "5"), 0) << "an error page that happens to be a digit";
    EXPECT_EQ(CheckWith(404, "12"), 0);

    server.set_behaviour(local_http_server::behaviour::close_early);
    EXPECT_EQ(CheckWith(200, "12"), 0) << "an answer cut short after its first digit";

    server.set_behaviour(local_http_server::behaviour::answer);
    EXPECT_EQ(CheckWith(200, std::string(70, '1')), 0);
    EXPECT_EQ(NewsCheckTestApi::received_length(check), NewsCheck::too_long);
    EXPECT_EQ(NewsCheckTestApi::body(check).substr(62), std::string(2, '\0'));
}

TEST_F(NewsRequest, EndlessAnswerIsCutOffBeforeTheTimeOut)
{
    server.set_behaviour(local_http_server::behaviour::endless_body);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CheckWith(200, ""), 0);
    // A failure limit well under the request's time-out, not a speed measurement.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(NewsCheckTestApi::received_length(check), NewsCheck::too_long);
    EXPECT_EQ(NewsCheckTestApi::body(check), std::string(64, '\0'));
}

TEST_F(NewsRequest, MissingOrSilentServerGivesNoCount)
{
    NewsServer gone;
    {
        local_http_server short_lived;
        gone.host = short_lived.address();
    }
    NewsCheck unanswered{gone};
    unanswered.run(0);
    EXPECT_EQ(unanswered.count(), 0);

    NewsServer impatient = Local();
    impatient.timeout_seconds = 1;
    NewsCheck waiting{impatient};
    server.set_behaviour(local_http_server::behaviour::hold);
    waiting.run(0);
    EXPECT_EQ(waiting.count(), 0);
    EXPECT_EQ(server.requests().size(), 1u);
}

}  // namespace
