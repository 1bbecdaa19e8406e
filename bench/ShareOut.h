#pragma once
// The files of a walk shared out to threads, each taking the next one not yet taken, as the bench
// programs do when they measure several files in flight.
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// Runs `work` (true when it succeeded) on every item, on `threads` threads; returns how many failed.
template <class Item, class Work>
long long ShareOut(const std::vector<Item>& items, int threads, Work work)
{
    std::atomic<std::size_t> next{0};
    std::atomic<long long> failed{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            for (std::size_t i; (i = next++) < items.size();)
                failed += work(items[i]) ? 0 : 1;
        });
    for (std::thread& t : pool)
        t.join();
    return failed;
}
