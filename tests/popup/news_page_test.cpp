#include "popup/news_page.h"
#include "toolkit/platform/shell.h"

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

namespace {

TEST(NewsPage, OpensTheRecentProductsPageAndReturnsTheVisitTime)
{
    std::vector<qzsdk::shell_request> opened;
    auto previous = qzsdk::set_shell_launcher([&](const qzsdk::shell_request& request) { opened.push_back(request); });
    NewsServer server;
    server.host = "news.example:8443";
    int64_t before = std::time(nullptr);
    int64_t visit = VisitNewsPage(server);
    int64_t after = std::time(nullptr);
    qzsdk::set_shell_launcher(previous);

    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].verb, L"open");
    EXPECT_EQ(opened[0].file, L"https://news.example:8443/products/recent/");
    EXPECT_GE(visit, before);
    EXPECT_LE(visit, after);
}

}  // namespace
