#include "grid/ValueArena.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <new>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif

namespace quorin::value_arena {
namespace {

// Blocks are aligned to their size, so an array finds its block from its own address.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

struct alignas(64) CBlockHeader {
    // Arrays alive in the block, plus kHeld while a thread still cuts from it: frees on
    // other threads then never reach zero early, and cutting needs no atomic operation.
    std::atomic<std::uint64_t> Live;
};
constexpr std::uint64_t kHeld = std::uint64_t{1} << 40;

void Release(CBlockHeader* block, std::uint64_t count) noexcept {
    if (block->Live.fetch_sub(count, std::memory_order_acq_rel) == count) {
        block->~CBlockHeader();
        // Whatever the system maps here next is not ours to poison.
        ASAN_UNPOISON_MEMORY_REGION(block, kBlockBytes);
        munmap(block, kBlockBytes);
    }
}

CBlockHeader* NewBlock() {
    // Map twice the size and trim to an aligned block.
    void* mapped = mmap(nullptr, 2 * kBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kBlockBytes - 1) & ~(kBlockBytes - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t end = start + 2 * kBlockBytes;
    if (end > aligned + kBlockBytes) munmap(reinterpret_cast<void*>(aligned + kBlockBytes), end - aligned - kBlockBytes);
    auto* block = new (reinterpret_cast<void*>(aligned)) CBlockHeader{kHeld};
    ASAN_POISON_MEMORY_REGION(block + 1, kBlockBytes - sizeof(CBlockHeader));
    return block;
}

// The block this thread cuts from.
struct CCursor {
    CBlockHeader* Block = nullptr;
    std::byte* Next = nullptr;
    std::byte* End = nullptr;
    std::uint64_t Cut = 0;

    void Retire() noexcept {
        if (Block != nullptr) Release(Block, kHeld - Cut);
        Block = nullptr;
    }
    ~CCursor() { Retire(); }
};
thread_local CCursor t_Cursor;

}  // namespace

double* Allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(double);
    CCursor& cursor = t_Cursor;
    if (cursor.Block == nullptr || static_cast<std::size_t>(cursor.End - cursor.Next) < bytes) {
        CBlockHeader* block = NewBlock();
        cursor.Retire();
        cursor.Block = block;
        cursor.Next = reinterpret_cast<std::byte*>(block + 1);
        cursor.End = reinterpret_cast<std::byte*>(block) + kBlockBytes;
        cursor.Cut = 0;
    }
    auto* p = reinterpret_cast<double*>(cursor.Next);
    cursor.Next += bytes;
    ++cursor.Cut;
    ASAN_UNPOISON_MEMORY_REGION(p, bytes);
    return p;
}

void Free(double* p, std::size_t n) noexcept {
    ASAN_POISON_MEMORY_REGION(p, n * sizeof(double));
    const auto at = reinterpret_cast<std::uintptr_t>(p) & ~(kBlockBytes - 1);
    Release(reinterpret_cast<CBlockHeader*>(at), 1);
}

}  // namespace quorin::value_arena
