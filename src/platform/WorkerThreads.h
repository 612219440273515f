#pragma once
#include <cstddef>
#include <functional>

namespace quorin {

// Threads for work spread over the cores: QUORIN_THREADS when set to a positive number, else
// the hardware's thread count (at least 1).
int WorkerThreadCount();

// How many ranges to make of `count` items of `costEach`: up to WorkerThreadCount(), as
// many as the work is worth threads for.
std::size_t RangeCount(std::size_t count, std::size_t costEach);

// Calls `work(part, from, to)` for `parts` consecutive ranges that together cover
// [0, count), each on a thread of its own (the calling one does part 0), and returns when
// all are done. Parts are numbered in order, for results to be combined in order.
void ForEachRange(std::size_t count, std::size_t parts,
                  const std::function<void(std::size_t part, std::size_t from, std::size_t to)>& work);

}  // namespace quorin
