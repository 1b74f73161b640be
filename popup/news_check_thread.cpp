#include "popup/news_check_thread.h"

#include <utility>

namespace {

// Several of libcurl's progress calls: a request that has not given up by then is left to end on its own.
constexpr uint32_t stop_wait_ms = 5000;

}  // namespace

NewsCheckThread::NewsCheckThread(NewsServer server, int64_t last_visit)
    : shared_(std::make_shared<Shared>(std::move(server))),
      task_([kept = shared_, last_visit] { kept->check.run(last_visit); })
{
}

NewsCheckThread::~NewsCheckThread()
{
    Stop();
}

void NewsCheckThread::Stop()
{
    shared_->check.RequestStop();
    task_.wait(stop_wait_ms);
}
