#include "standin/answer_summary.h"

#include <gtest/gtest.h>

#include <string>

using standin::answer_summary;

TEST(AnswerSummary, ShortAnswersWholeLongOnesByLengthAndStart)
{
    EXPECT_EQ(answer_summary("undefined"), "undefined");
    EXPECT_EQ(answer_summary(""), "");
    std::string status = "var shortcutValue = 0;\nvar button0Hex = \"";
    for (int i = 0; i < 5000; ++i)
        status += "\\x89";
    std::string shown = answer_summary(status);
    EXPECT_LT(shown.size(), 100u);
    EXPECT_EQ(shown.rfind(std::to_string(status.size()) + " bytes: var shortcutValue = 0;\\nvar button0Hex", 0), 0u)
        << shown;
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    // Two lines, though short, would break the terminal's one line per call.
    EXPECT_EQ(answer_summary("a\r\nb"), "4 bytes: a\\r\\nb");
}

TEST(AnswerSummary, CutNeverSplitsAUtf8Letter)
{
    std::string answer(59, 'a');
    answer += "\xC3\xA9";  // é across the cut
    answer += std::string(40, 'b');
    std::string shown = answer_summary(answer);
    EXPECT_NE(shown.find(std::string(59, 'a') + "..."), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\xC3'), std::string::npos);
}
