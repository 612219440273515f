#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "grid/ValueArena.h"

namespace quorin {

// The cells of one row: each column's value and its normalised value, in one block of two
// halves (the values, then the normalised values), since the two always have one entry per
// column. A Grid of millions of narrow rows is mostly these blocks, so a row keeps only a
// pointer and the count: the block's room follows from the count (RoomOf), and a change of
// count that changes the room moves the cells to a new block. Blocks of up to
// value_arena::kMaxDoubles doubles are cut from shared blocks, longer ones are heap blocks.
// 12 of the 16 bytes are used, so an owner's next member may begin in the last 4 of a
// [[no_unique_address]] CRowCells.
class CRowCells {
public:
    CRowCells() noexcept = default;
    CRowCells(const CRowCells& o) { CopyFrom(o); }
    CRowCells(CRowCells&& o) noexcept : m_Block(o.m_Block), m_Size(o.m_Size) {
        o.m_Block = nullptr;
        o.m_Size = 0;
    }
    CRowCells& operator=(const CRowCells& o) {
        if (this != &o) {
            if (RoomOf(o.m_Size) != RoomOf(m_Size)) {
                CRowCells made(o);
                *this = std::move(made);
            } else {
                m_Size = o.m_Size;
                CopyCells(o);
            }
        }
        return *this;
    }
    CRowCells& operator=(CRowCells&& o) noexcept {
        if (this != &o) {
            Free(m_Block, m_Size);
            m_Block = o.m_Block;
            m_Size = o.m_Size;
            o.m_Block = nullptr;
            o.m_Size = 0;
        }
        return *this;
    }
    ~CRowCells() { Free(m_Block, m_Size); }

    std::size_t size() const noexcept { return m_Size; }
    bool empty() const noexcept { return m_Size == 0; }
    std::span<double> Values() noexcept { return {m_Block, m_Size}; }
    std::span<const double> Values() const noexcept { return {m_Block, m_Size}; }
    std::span<double> Normalised() noexcept { return {NormalisedStart(), m_Size}; }
    std::span<const double> Normalised() const noexcept { return {NormalisedStart(), m_Size}; }

    // `n` cells, each holding `value` and `normalised`.
    void Assign(std::size_t n, double value, double normalised) {
        Reshape(n, 0, 0);
        std::fill_n(m_Block, n, value);
        std::fill_n(NormalisedStart(), n, normalised);
    }
    // The cells of two equal-sized arrays.
    void Assign(std::span<const double> values, std::span<const double> normalised) {
        if (values.size() != normalised.size()) throw std::invalid_argument("cells of unequal sizes");
        Reshape(values.size(), 0, 0);
        std::copy(values.begin(), values.end(), m_Block);
        std::copy(normalised.begin(), normalised.end(), NormalisedStart());
    }
    // Room for `n` cells with unset contents, to be filled through Values() and Normalised().
    void SetSize(std::size_t n) { Reshape(n, 0, 0); }
    // A new cell before cell `at` (at == size() appends).
    void Insert(std::size_t at, double value, double normalised) {
        Reshape(m_Size + 1, at, 1);
        m_Block[at] = value;
        NormalisedStart()[at] = normalised;
    }
    void PushBack(double value, double normalised) { Insert(m_Size, value, normalised); }
    void Erase(std::size_t at) { Reshape(m_Size - 1, at, -1); }
    void PopBack() { Erase(m_Size - 1); }

    friend bool operator==(const CRowCells& a, const CRowCells& b) noexcept {
        return std::ranges::equal(a.Values(), b.Values()) && std::ranges::equal(a.Normalised(), b.Normalised());
    }

    // The cells a row of `n` columns has room for in each half: n exactly up to 8, then
    // rounded up by at most an eighth, so that growing a row one column at a time moves it
    // about eight times per doubling.
    static constexpr std::size_t RoomOf(std::size_t n) noexcept { return value_arena::ClassOf(n); }
    static constexpr std::size_t kMaxCells = (std::size_t{1} << 30) - 1;

private:
    double* NormalisedStart() const noexcept { return m_Block + RoomOf(m_Size); }

    static double* Allocate(std::size_t room) {
        if (room == 0) return nullptr;
        // Twice a room is a room of the shared blocks too (its steps are even).
        if (2 * room <= value_arena::kMaxDoubles) return value_arena::Allocate(2 * room);
        return new double[2 * room];
    }
    static void Free(double* block, std::size_t size) noexcept {
        const std::size_t room = RoomOf(size);
        if (room == 0) return;
        if (2 * room <= value_arena::kMaxDoubles) value_arena::Free(block, 2 * room);
        else delete[] block;
    }

    // Gives the row `n` cells. With `shift` +1 a cell is opened at `at`, with -1 the cell at
    // `at` is closed; the others keep their contents. Moves to a new block only when the
    // room changes.
    void Reshape(std::size_t n, std::size_t at, int shift) {
        if (n > kMaxCells) throw std::length_error("too many cells in a row");
        const std::size_t oldSize = m_Size;
        const std::size_t oldRoom = RoomOf(oldSize);
        const std::size_t room = RoomOf(n);
        double* from = m_Block;
        double* to = room == oldRoom ? from : Allocate(room);
        const std::size_t keep = std::min(oldSize, n);
        for (int half = 1; half >= 0; --half) {
            // The normalised half first: within one block its start does not move.
            double* source = from + half * oldRoom;
            double* target = to + half * room;
            if (shift == 0) {
                if (to != from) std::copy_n(source, keep, target);
            } else if (shift > 0) {
                if (to != from) std::copy_n(source, at, target);
                std::copy_backward(source + at, source + oldSize, target + oldSize + 1);
            } else {
                if (to != from) std::copy_n(source, at, target);
                std::copy(source + at + 1, source + oldSize, target + at);
            }
        }
        if (to != from) Free(from, oldSize);
        m_Block = to;
        m_Size = static_cast<std::uint32_t>(n);
    }

    void CopyFrom(const CRowCells& o) {
        m_Block = Allocate(RoomOf(o.m_Size));
        m_Size = o.m_Size;
        CopyCells(o);
    }
    // Same size and room as `o`.
    void CopyCells(const CRowCells& o) noexcept {
        std::copy_n(o.m_Block, m_Size, m_Block);
        std::copy_n(o.NormalisedStart(), m_Size, NormalisedStart());
    }

    double* m_Block = nullptr;
    std::uint32_t m_Size = 0;
};
static_assert(sizeof(CRowCells) == 16);

}  // namespace quorin
