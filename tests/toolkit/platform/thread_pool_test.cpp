#include "toolkit/platform/thread_pool.h"

#include "toolkit/platform/qz_exception.h"

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

TEST(ThreadPool, SlicesAreContiguousWithTheSmallerSharesFirst)
{
    auto all = [](uint32_t items, uint32_t count) {
        slice_list slices;
        for (uint32_t k = 0; k < count; ++k) {
            thread_worker_data range = thread_pool::slice(items, count, k);
            slices.emplace_back(range.first, range.end);
        }
        return slices;
    };
    EXPECT_EQ(all(10, 4), (slice_list{{0, 2}, {2, 4}, {4, 7}, {7, 10}}));
    EXPECT_EQ(all(8, 4), (slice_list{{0, 2}, {2, 4}, {4, 6}, {6, 8}}));
    EXPECT_EQ(all(2, 4), (slice_list{{0, 0}, {0, 0}, {0, 1}, {1, 2}}));
    EXPECT_EQ(all(0, 3), (slice_list{{0, 0}, {0, 0}, {0, 0}}));
    EXPECT_EQ(all(0xFFFFFFFFu, 2), (slice_list{{0, 0x7FFFFFFF}, {0x7FFFFFFF, 0xFFFFFFFFu}}));
}

TEST(ThreadPool, EveryWorkerGetsItsSliceOnItsOwnThreadAlsoWhenEmpty)
{
    thread_pool pool(4);
    recorded_slices seen;
    pool.run(10, seen.recorder());
    EXPECT_EQ(seen.sorted(), (slice_list{{0, 2}, {2, 4}, {4, 7}, {7, 10}}));
    EXPECT_EQ(seen.threads.size(), 4u);
    EXPECT_EQ(seen.threads.count(std::this_thread::get_id()), 0u);

    recorded_slices fewer;
    pool.run(3, fewer.recorder());
    EXPECT_EQ(fewer.sorted(), (slice_list{{0, 0}, {0, 1}, {1, 2}, {2, 3}}));

    recorded_slices none;
    pool.run(0, none.recorder());
    EXPECT_EQ(none.sorted(), (slice_list{{0, 0}, {0, 0}, {0, 0}, {0, 0}}));
    pool.shutdown();
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

TEST(ThreadPool, AfterShutdownRunsExecuteOnTheCallingThread)
{
    thread_pool pool(3);
    recorded_slices before;
    pool.run(6, before.recorder());
    EXPECT_EQ(before.threads.size(), 3u);

    pool.shutdown();
    pool.shutdown();
    recorded_slices after;
    pool.run(6, after.recorder());
    EXPECT_EQ(after.sorted(), (slice_list{{0, 6}}));
    EXPECT_EQ(*after.threads.begin(), std::this_thread::get_id());
    EXPECT_THROW(pool.run(1, [](const thread_worker_data&) { throw qz_exception("inline"); }), qz_exception);
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
}

TEST(ThreadPool, TheProcessPoolHasAtLeastOneWorker)
{
    EXPECT_GE(thread_pool::instance().thread_count(), 1u);
    recorded_slices seen;
    thread_pool::instance().run(100, seen.recorder());
    uint32_t covered = 0;
    for (auto [first, end] : seen.sorted())
        covered += end - first;
    EXPECT_EQ(covered, 100u);
}
