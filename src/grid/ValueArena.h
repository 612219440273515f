#pragma once
#include <bit>
#include <cstddef>

namespace quorin::value_arena {

// Short value arrays are cut from large shared blocks instead of taking a heap block each:
// for rows of a few values the allocator's bookkeeping would cost as much as the values.
// A block goes back to the system once every array cut from it has been freed; nothing in
// a block is reused before that, so arrays that are resized often belong on the heap.

// The largest array, in doubles, that comes from a shared block.
inline constexpr std::size_t kMaxDoubles = 256;

// The room given for `n` doubles: exact up to 8, then rounded up in steps of an eighth of
// the next power of two, so that an array's room follows from its size alone. Monotone,
// and ClassOf(ClassOf(n)) == ClassOf(n).
constexpr std::size_t ClassOf(std::size_t n) noexcept {
    if (n <= 8) return n;
    const std::size_t step = std::size_t{1} << (std::bit_width(n - 1) - 3);
    return (n + step - 1) & ~(step - 1);
}

// Room for `n` doubles (n == ClassOf(n), at most kMaxDoubles), 8-byte aligned. Throws
// std::bad_alloc when the system has no memory.
double* Allocate(std::size_t n);
// Gives back what Allocate returned; `n` is the room still known to be in use. Any thread.
void Free(double* p, std::size_t n) noexcept;

}  // namespace quorin::value_arena
