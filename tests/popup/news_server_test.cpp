#include "popup/news_server.h"

#include <gtest/gtest.h>

namespace {

TEST(NewsServerOverride, TestProgramsAskAClosedLoopbackPortAndKnowLoopbackHosts)
{
    // The test programs set ZEPHRIN_NEWS_SERVER; the maker's host here means the variable went unread.
    EXPECT_EQ(NewsServer{}.host, "127.0.0.1:1");
    struct Case {
        const char* host;
        bool loopback;
    };
    for (Case c : {Case{"127.0.0.1:1", true}, Case{"127.4.5.6", true}, Case{"localhost:8080", true},
                   Case{"[::1]:80", true}, Case{"[::1]", true}, Case{"127.example.com", false},
                   Case{"www.tarnwick.com", false}, Case{"10.0.0.1:80", false}, Case{"[::1]x", false}, Case{"", false}})
        EXPECT_EQ(IsLoopbackHost(c.host), c.loopback) << c.host;
}

TEST(NewsServerOverrideDeathTest, ARequestOffLoopbackEndsATestProgramNamingTheHost)
{
    EXPECT_EXIT(EnforceLoopbackOnly("www.tarnwick.com"), testing::ExitedWithCode(3),
                "www.tarnwick.com is not on loopback");
    EnforceLoopbackOnly("127.0.0.1:1");
}

}  // namespace
