#include "popup/news_check_thread.h"

#include <utility>

NewsCheckThread::NewsCheckThread(NewsServer server, int64_t last_visit)
    : shared_(std::make_shared<Shared>(std::move(server))),
      thread_([kept = shared_, last_visit] { kept->check.run(last_visit); })
{
}

NewsCheckThread::~NewsCheckThread()
{
    Stop();
}

void NewsCheckThread::Stop()
{
    shared_->check.RequestStop();
    if (thread_.joinable())
        thread_.join();
}

void NewsCheckThread::Abandon()
{
    shared_->check.RequestStop();
    if (thread_.joinable())
        thread_.detach();
}
