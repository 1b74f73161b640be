#pragma once
// Timing shared by the benchmark programs: wall-clock milliseconds and the median of repeated runs.
#include <algorithm>
#include <chrono>
#include <vector>

using bench_clock = std::chrono::steady_clock;

inline double ms_since(bench_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(bench_clock::now() - start).count();
}

template <class Action>
double median_ms(int runs, Action action)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = bench_clock::now();
        action();
        times.push_back(ms_since(start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
