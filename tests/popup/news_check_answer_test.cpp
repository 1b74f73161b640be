// How the news check stores and reads the server's answer, fed piece by piece as libcurl feeds it.
#include "tests/popup/news_check_test_api.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Api = NewsCheckTestApi;

TEST(NewsAnswer, PiecesAddUpWhileTheyLeaveRoomForTheClosingZero)
{
    NewsCheck check{NewsServer{}};
    EXPECT_EQ(Api::Receive(check, std::string(30, 'a')), 30u);
    EXPECT_EQ(Api::Receive(check, std::string(32, 'b')), 32u);
    EXPECT_EQ(Api::received_length(check), 62u);
    EXPECT_EQ(Api::body(check), std::string(30, 'a') + std::string(32, 'b') + std::string(2, '\0'));
}

TEST(NewsAnswer, OverLongAnswerIsRefusedWithoutWritingPastTheBody)
{
    NewsCheck check{NewsServer{}};
    EXPECT_EQ(Api::Receive(check, std::string(35, 'x')), 35u);
    // Refused, which ends the transfer: the second half of a 70-byte answer is never stored.
    EXPECT_EQ(Api::Receive(check, std::string(35, 'y')), 0u);
    EXPECT_EQ(Api::received_length(check), NewsCheck::too_long);
    EXPECT_EQ(Api::body(check), std::string(35, 'x') + std::string(29, '\0'));
    EXPECT_EQ(check.count(), -1) << "the count after the body was overwritten";
    EXPECT_EQ(Api::CountFromBody(check), 0);

    NewsCheck huge{NewsServer{}};
    EXPECT_EQ(Api::Receive(huge, std::string(100000, '9')), 0u);
    EXPECT_EQ(Api::body(huge), std::string(64, '\0'));
    EXPECT_EQ(Api::CountFromBody(huge), 0);
}

TEST(NewsAnswer, OnlyAnAnswerOfOneOrTwoCharactersIsACount)
{
    struct Case {
        std::string answer;
        int32_t count;
    };
    const Case cases[] = {
        {"3", 3}, {"0", 0}, {"12", 12}, {"99", 99}, {" 7", 7}, {"+4", 4}, {"7x", 7},
        {"123", 0}, {"", 0}, {"x", 0}, {"-", 0}, {std::string("\0" "5", 2), 0},
        // A negative answer is no count; -1 would also look like a check still running.
        {"-1", 0}, {"-5", 0},
    };
    for (const Case& c : cases) {
        NewsCheck check{NewsServer{}};
        Api::Receive(check, c.answer);
        EXPECT_EQ(Api::CountFromBody(check), c.count) << '"' << c.answer << '"';
    }
}

}  // namespace
