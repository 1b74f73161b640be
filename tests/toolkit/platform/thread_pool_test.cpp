#include "toolkit/platform/thread_pool.h"

#include "toolkit/platform/qz_exception.h"
#include "tests/support/program_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace qzsdk;

namespace {

struct recorded_slices {
    std::mutex mutex;
    std::vector<std::pair<uint32_t, uint32_t>> slices;
    std::set<std::thread::id> threads;

    thread_pool::job recorder()
    {
        return [this](const thread_worker_data& range) {
            std::lock_guard lock(mutex);
            slices.emplace_back(range.first, range.end);
            threads.insert(std::this_thread::get_id());
        };
    }
    std::vector<std::pair<uint32_t, uint32_t>> sorted()
    {
        std::sort(slices.begin(), slices.end());
        return slices;
    }
};

using slice_list = std::vector<std::pair<uint32_t, uint32_t>>;

}  // namespace

TEST(ThreadPool, EveryWorkerGetsItsSliceOnItsOwnThreadUntilShutdown)
{
    EXPECT_EQ(thread_pool::slice(0xFFFFFFFFu, 2, 1).first, 0x7FFFFFFFu);
    thread_pool pool(4);
    const std::pair<uint32_t, slice_list> runs[] = {{10, {{0, 2}, {2, 4}, {4, 7}, {7, 10}}},
                                                    {3, {{0, 0}, {0, 1}, {1, 2}, {2, 3}}},
                                                    {0, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}}};
    for (const auto& [items, expected] : runs) {
        recorded_slices seen;
        pool.run(items, seen.recorder());
        EXPECT_EQ(seen.sorted(), expected);
        EXPECT_EQ(seen.threads.size(), 4u);
        EXPECT_EQ(seen.threads.count(std::this_thread::get_id()), 0u);
    }
    pool.shutdown();
    pool.shutdown();
    recorded_slices after;
    pool.run(6, after.recorder());
    EXPECT_EQ(after.sorted(), (slice_list{{0, 6}}));
    EXPECT_EQ(*after.threads.begin(), std::this_thread::get_id());
    EXPECT_THROW(pool.run(1, [](const thread_worker_data&) { throw qz_exception("inline"); }), qz_exception);
}

TEST(ThreadPool, ManyRunsInARowEachCoverEveryItemOnce)
{
    thread_pool pool(3);
    for (uint32_t run = 0; run < 200; ++run) {
        std::vector<std::atomic<int>> hits(run);
        pool.run(run, [&](const thread_worker_data& range) {
            for (uint32_t i = range.first; i < range.end; ++i)
                ++hits[i];
        });
        for (uint32_t i = 0; i < run; ++i)
            ASSERT_EQ(hits[i].load(), 1) << "run " << run << " item " << i;
    }
    pool.shutdown();
}

TEST(ThreadPool, TheFirstExceptionOfASliceReachesTheCallerAfterAllSlicesEnded)
{
    thread_pool pool(4);
    std::atomic<int> finished{0};
    auto throwing = [&](const thread_worker_data& range) {
        if (range.first == 0)
            throw qz_exception("slice failed");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++finished;
    };
    try {
        pool.run(8, throwing);
        FAIL() << "no exception";
    } catch (const qz_exception& error) {
        EXPECT_STREQ(error.what(), "slice failed");
    }
    EXPECT_EQ(finished.load(), 3);

    // The pool is still usable and the error does not linger into the next run.
    recorded_slices seen;
    pool.run(4, seen.recorder());
    EXPECT_EQ(seen.sorted().size(), 4u);
    pool.shutdown();
}

TEST(ThreadPool, ANestedRunInsideAJobRunsInlineInsteadOfDeadlocking)
{
    thread_pool pool(2);
    std::atomic<int> inner_items{0};
    std::atomic<bool> inner_on_same_thread{true};
    pool.run(2, [&](const thread_worker_data&) {
        auto outer_thread = std::this_thread::get_id();
        pool.run(5, [&](const thread_worker_data& range) {
            inner_items += static_cast<int>(range.end - range.first);
            if (std::this_thread::get_id() != outer_thread)
                inner_on_same_thread = false;
        });
    });
    EXPECT_EQ(inner_items.load(), 10);
    EXPECT_TRUE(inner_on_same_thread.load());
    pool.shutdown();
}

TEST(ThreadPool, DestroyingAPoolWithLiveWorkersNeverBlocks)
{
    // Stands for the static destructor at unload: it must return at once, leaving the parked workers alone.
    auto pool = std::make_unique<thread_pool>(4);
    recorded_slices seen;
    pool->run(4, seen.recorder());
    std::atomic<bool> destroyed{false};
    std::thread destroyer([&] {
        pool.reset();
        destroyed = true;
    });
    for (int wait = 0; wait < 500 && !destroyed; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(destroyed.load()) << "the destructor blocked";
    destroyer.join();
    qzsdk::test::leave_running(4);
}
