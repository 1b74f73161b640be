#include "toolkit/platform/thread_pool.h"

#include <algorithm>
#include <utility>

namespace qzsdk {

namespace {

// Set on the pool's own threads while a slice runs: a nested run there executes inline instead of waiting
// for workers that are all busy with the outer run.
thread_local bool inside_pool_job = false;

}  // namespace

thread_pool& thread_pool::instance()
{
    static thread_pool pool(std::max(1u, std::thread::hardware_concurrency()));
    return pool;
}

thread_pool::thread_pool(uint32_t thread_count)
    : thread_count_(std::max(1u, thread_count)), state_(std::make_unique<shared_state>())
{
}

thread_pool::~thread_pool()
{
    if (threads_.empty())
        return;
    // Static destruction at unload runs under the loader lock, where neither joining nor waking the workers
    // is safe (a woken worker would run code that is being unmapped). They stay parked on state that is never
    // freed, and end with the process.
    for (std::thread& thread : threads_)
        thread.detach();
    static_cast<void>(state_.release());
}

thread_worker_data thread_pool::slice(uint32_t item_count, uint32_t slice_count, uint32_t index)
{
    if (index >= slice_count)
        return {item_count, item_count};
    uint32_t first = 0;
    for (uint32_t k = 0;; ++k) {
        uint32_t end = first + (item_count - first) / (slice_count - k);
        if (k == index)
            return {first, end};
        first = end;
    }
}

void thread_pool::run_inline(uint32_t item_count, const job& work)
{
    work(thread_worker_data{0, item_count});
}

void thread_pool::run(uint32_t item_count, const job& work)
{
    if (inside_pool_job)
        return run_inline(item_count, work);
    std::lock_guard run_lock(run_mutex_);
    if (shut_down_ || !start_workers())
        return run_inline(item_count, work);
    shared_state& state = *state_;
    std::unique_lock lock(state.mutex);
    state.work = &work;
    state.item_count = item_count;
    state.remaining = thread_count_;
    state.first_error = nullptr;
    ++state.generation;
    state.start.notify_all();
    state.done.wait(lock, [&] { return state.remaining == 0; });
    state.work = nullptr;
    if (std::exception_ptr error = std::exchange(state.first_error, nullptr))
        std::rethrow_exception(error);
}

void thread_pool::shutdown()
{
    if (inside_pool_job)
        return;
    std::lock_guard run_lock(run_mutex_);
    shut_down_ = true;
    stop_workers();
}

bool thread_pool::start_workers()
{
    if (!threads_.empty())
        return true;
    try {
        threads_.reserve(thread_count_);
        for (uint32_t index = 0; index < thread_count_; ++index)
            threads_.emplace_back(worker_loop, std::ref(*state_), thread_count_, index, state_->generation);
        return true;
    } catch (const std::exception&) {
        // The system would not give a full pool: the workers made so far go, and this run is done inline.
        stop_workers();
        return false;
    }
}

void thread_pool::stop_workers()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->stop = true;
    }
    state_->start.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
    threads_.clear();
    std::lock_guard lock(state_->mutex);
    state_->stop = false;
}

void thread_pool::worker_loop(shared_state& state, uint32_t thread_count, uint32_t index, uint64_t generation)
{
    std::unique_lock lock(state.mutex);
    for (;;) {
        state.start.wait(lock, [&] { return state.stop || state.generation != generation; });
        if (state.stop)
            return;
        generation = state.generation;
        const job& work = *state.work;
        thread_worker_data range = slice(state.item_count, thread_count, index);
        lock.unlock();
        std::exception_ptr error;
        inside_pool_job = true;
        try {
            work(range);
        } catch (...) {
            error = std::current_exception();
        }
        inside_pool_job = false;
        lock.lock();
        if (error && !state.first_error)
            state.first_error = error;
        if (--state.remaining == 0)
            state.done.notify_all();
    }
}

}  // namespace qzsdk
