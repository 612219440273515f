#pragma once
#include <cstddef>
#include <functional>

namespace quorin {

// Threads for work spread over the cores: QUORIN_THREADS when set to a positive number, else
// the hardware's thread count (at least 1).
int WorkerThreadCount();

// Calls `work(from, to)` for consecutive ranges that together cover [0, count), on up to
// WorkerThreadCount() threads (the calling one among them) when `count` times `costEach` is
// worth the threads; returns when every range is done. Range `k` comes before range `k + 1`,
// and each call is told its range's position in `part`, for results to be combined in order.
void ForEachRange(std::size_t count, std::size_t costEach,
                  const std::function<void(std::size_t part, std::size_t from, std::size_t to)>& work);

// The number of ranges ForEachRange would make of `count` items of `costEach`.
std::size_t RangeCount(std::size_t count, std::size_t costEach);

}  // namespace quorin
