#pragma once

// Work over the indexes [0, count) shared out in equal ranges to one thread per core (at most
// eight), the calling thread taking the first range; below `minimum` items all of it stays on
// the calling thread, since starting a thread costs more than the work.

#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

template <typename Work> void ShareOutOnThreads(std::size_t count, std::size_t minimum, const Work& work) {
    const std::size_t threads =
        count < minimum ? 1 : std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), 8);
    const std::size_t share = (count + threads - 1) / threads;
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads && t * share < count; ++t)
        helpers.emplace_back([&work, t, share, count] { work(t * share, std::min(count, (t + 1) * share)); });
    work(0, std::min(count, share));
    for (std::thread& h : helpers) h.join();
}
