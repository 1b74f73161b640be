#include "popup/news_check_thread.h"

#include <utility>

NewsCheckThread::NewsCheckThread(NewsServer server, int64_t last_visit)
    : check_(std::move(server)), thread_(&NewsCheck::run, &check_, last_visit)
{
}

NewsCheckThread::~NewsCheckThread()
{
    Stop();
}

void NewsCheckThread::Stop()
{
    check_.RequestStop();
    if (thread_.joinable())
        thread_.join();
}
