// Sorting on two threads: a large range is split in two halves, each worked
// on by a thread, the halves then merged.
#pragma once
#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

// Below this many elements the work runs on the calling thread alone.
inline constexpr size_t kSplitRows = 8192;

// Runs `work(begin, end)` over [0, count): in two halves on two threads when
// there is enough of it.
template <typename Work>
void ForHalves(size_t count, const Work& work)
{
    if (count < kSplitRows) {
        work(size_t(0), count);
        return;
    }
    std::thread second([&] { work(count / 2, count); });
    work(size_t(0), count / 2);
    second.join();
}

// Sorts [first, order.size()): two halves side by side, then merged. Not
// stable: what is sorted either has no equal elements or does not care where
// equal ones go.
template <typename T, typename Less>
void SortInHalves(std::vector<T>& order, const Less& less, size_t first = 0)
{
    const auto begin = order.begin() + std::ptrdiff_t(first);
    const size_t count = order.size() - first;
    ForHalves(count, [&](size_t from, size_t to) {
        std::sort(begin + std::ptrdiff_t(from), begin + std::ptrdiff_t(to), less);
    });
    if (count >= kSplitRows) std::inplace_merge(begin, begin + std::ptrdiff_t(count / 2), order.end(), less);
}
