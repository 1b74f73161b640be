#include "popup/news_page.h"

#include "toolkit/platform/shell.h"
#include "toolkit/platform/text.h"

int64_t VisitNewsPage(const NewsServer& server)
{
    qzsdk::shell_open(server.PageUrl());
    return qzsdk::clock_now() / qzsdk::ticks_per_second;
}
