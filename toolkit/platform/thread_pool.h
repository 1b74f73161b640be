#pragma once
// A fork-join pool: every worker runs the same job at once on its own contiguous slice of a range of
// items, and the caller waits until all slices are done.
//
// Unload: joining a thread from a module's static destructor deadlocks under the loader lock, so the
// module's death hook must call shutdown(), which stops and joins the workers while that is still allowed.
// A pool destroyed with live workers leaves them parked and leaks what they wait on rather than block.
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qzsdk {

struct thread_worker_data {
    uint32_t first = 0;
    uint32_t end = 0;  // one past the last item
};

class thread_pool {
public:
    using job = std::function<void(const thread_worker_data&)>;

    // One worker per logical processor; the process-wide pool.
    static thread_pool& instance();

    // At least one worker. Threads start at the first run.
    explicit thread_pool(uint32_t thread_count);
    ~thread_pool();
    thread_pool(const thread_pool&) = delete;
    thread_pool& operator=(const thread_pool&) = delete;

    // Calls work once per worker with its slice of [0, item_count), also with empty slices, and returns
    // when all are done. The first exception a slice threw is rethrown here once every slice has ended.
    // Called from inside a job, or after shutdown, the whole range runs on the calling thread.
    void run(uint32_t item_count, const job& work);
    // Stops and joins the workers; waits for a run in progress. Later runs execute on the calling thread.
    void shutdown();

    uint32_t thread_count() const { return thread_count_; }
    // Worker k of count takes [s_k, s_k + (items - s_k) / (count - k)): earlier workers get the smaller share.
    static thread_worker_data slice(uint32_t item_count, uint32_t slice_count, uint32_t index);

private:
    // Everything the workers touch; owned separately so that a pool destroyed with live workers can leak it.
    struct shared_state {
        std::mutex mutex;
        std::condition_variable start;
        std::condition_variable done;
        uint64_t generation = 0;  // bumped once per run: the start signal
        bool stop = false;
        const job* work = nullptr;
        uint32_t item_count = 0;
        uint32_t remaining = 0;
        std::exception_ptr first_error;
    };

    // Starts the workers when none run; false when the system refused a thread.
    bool start_workers();
    void stop_workers();
    static void worker_loop(shared_state& state, uint32_t thread_count, uint32_t index, uint64_t generation);
    static void run_inline(uint32_t item_count, const job& work);

    uint32_t thread_count_;
    std::mutex run_mutex_;  // one run at a time; shutdown waits for it
    bool shut_down_ = false;
    std::unique_ptr<shared_state> state_;
    std::vector<std::thread> threads_;
};

}  // namespace qzsdk
