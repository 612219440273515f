#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <span>
#include <vector>

#include "grid/ValueArena.h"

namespace quorin {

// The values of one row: the part of std::vector<double> the code uses, sized for millions
// of rows. Up to kInline values live inside the object (no heap block for narrow rows);
// short arrays are cut from shared blocks (value_arena), their room given by their size;
// long ones take a heap block that starts with its capacity. The size and the place share
// 4 bytes, so 20 of the 24 bytes are used and an owner's next member may begin in the last
// 4 of a [[no_unique_address]] array.
class CValueArray {
public:
    using value_type = double;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = double&;
    using const_reference = const double&;
    using pointer = double*;
    using const_pointer = const double*;
    using iterator = double*;
    using const_iterator = const double*;

    static constexpr std::uint32_t kInline = 2;

    CValueArray() noexcept = default;
    explicit CValueArray(std::size_t n, double v = 0.0) { assign(n, v); }
    CValueArray(std::initializer_list<double> v) { assign(v.begin(), v.end()); }
    CValueArray(const CValueArray& o) { assign(o.begin(), o.end()); }
    CValueArray(CValueArray&& o) noexcept { Steal(o); }
    CValueArray& operator=(const CValueArray& o) {
        if (this != &o) assign(o.begin(), o.end());
        return *this;
    }
    CValueArray& operator=(CValueArray&& o) noexcept {
        if (this != &o) {
            Free();
            Steal(o);
        }
        return *this;
    }
    CValueArray& operator=(std::initializer_list<double> v) {
        assign(v.begin(), v.end());
        return *this;
    }
    ~CValueArray() { Free(); }

    std::size_t size() const noexcept { return m_Size; }
    std::size_t capacity() const noexcept {
        switch (m_Place) {
            case kOnHeap: return HeapCapacity();
            case kInArena: return value_arena::ClassOf(m_Size);
            default: return kInline;
        }
    }
    bool empty() const noexcept { return m_Size == 0; }
    double* data() noexcept { return m_Place != kInside ? m_Heap : m_Inline; }
    const double* data() const noexcept { return m_Place != kInside ? m_Heap : m_Inline; }
    double* begin() noexcept { return data(); }
    double* end() noexcept { return data() + m_Size; }
    const double* begin() const noexcept { return data(); }
    const double* end() const noexcept { return data() + m_Size; }
    const double* cbegin() const noexcept { return data(); }
    const double* cend() const noexcept { return data() + m_Size; }
    double& operator[](std::size_t i) noexcept { return data()[i]; }
    const double& operator[](std::size_t i) const noexcept { return data()[i]; }
    double& front() noexcept { return data()[0]; }
    const double& front() const noexcept { return data()[0]; }
    double& back() noexcept { return data()[m_Size - 1]; }
    const double& back() const noexcept { return data()[m_Size - 1]; }

    operator std::span<double>() noexcept { return {data(), m_Size}; }
    operator std::span<const double>() const noexcept { return {data(), m_Size}; }
    std::vector<double> ToVector() const { return {begin(), end()}; }

    void clear() noexcept { m_Size = 0; }
    // Exact size: a row read or built at its final width carries no slack.
    void resize(std::size_t n, double v = 0.0) {
        const std::size_t old = m_Size;
        if (n > capacity()) Reallocate(n);
        if (n > old) std::fill(data() + old, data() + n, v);
        m_Size = static_cast<std::uint32_t>(n) & kSizeMask;
    }
    void reserve(std::size_t n) {
        if (n > capacity()) Reallocate(n);
    }
    void assign(std::size_t n, double v) {
        if (n > capacity()) Reallocate(n, false);
        std::fill(data(), data() + n, v);
        m_Size = static_cast<std::uint32_t>(n) & kSizeMask;
    }
    template <class It>
    void assign(It first, It last) {
        const auto n = static_cast<std::size_t>(std::distance(first, last));
        if (n > capacity()) Reallocate(n, false);
        std::copy(first, last, data());
        m_Size = static_cast<std::uint32_t>(n) & kSizeMask;
    }
    void push_back(double v) {
        if (m_Size == capacity()) Reallocate(Grown());
        data()[m_Size++] = v;
    }
    void pop_back() noexcept { --m_Size; }
    double* insert(const double* pos, double v) {
        const std::size_t at = static_cast<std::size_t>(pos - data());
        if (m_Size == capacity()) Reallocate(Grown());
        double* p = data();
        std::copy_backward(p + at, p + m_Size, p + m_Size + 1);
        p[at] = v;
        ++m_Size;
        return p + at;
    }
    double* erase(const double* pos) noexcept {
        double* p = data();
        const std::size_t at = static_cast<std::size_t>(pos - p);
        std::copy(p + at + 1, p + m_Size, p + at);
        --m_Size;
        return p + at;
    }
    double* erase(const double* first, const double* last) noexcept {
        double* p = data();
        const std::size_t at = static_cast<std::size_t>(first - p);
        const std::size_t n = static_cast<std::size_t>(last - first);
        std::copy(p + at + n, p + m_Size, p + at);
        m_Size = m_Size - static_cast<std::uint32_t>(n);
        return p + at;
    }

    friend bool operator==(const CValueArray& a, const CValueArray& b) noexcept {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator==(const CValueArray& a, const std::vector<double>& b) noexcept {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    enum : std::uint32_t { kInside = 0, kOnHeap = 1, kInArena = 2 };
    static constexpr std::uint32_t kSizeMask = (std::uint32_t{1} << 30) - 1;

    // A heap block is one double holding the capacity, then the values.
    std::size_t HeapCapacity() const noexcept { return static_cast<std::size_t>(m_Heap[-1]); }
    std::size_t Grown() const noexcept { return m_Size + std::max<std::size_t>(m_Size / 2, 4); }
    void Reallocate(std::size_t capacity, bool keep = true) {
        const std::size_t room = value_arena::ClassOf(capacity);
        double* block = nullptr;
        std::uint32_t place = kInArena;
        if (room <= value_arena::kMaxDoubles) {
            block = value_arena::Allocate(room);
        } else {
            block = new double[capacity + 1] + 1;
            block[-1] = static_cast<double>(capacity);  // exact: sizes are below 2^30
            place = kOnHeap;
        }
        // Never more than the block holds (callers only grow, but say so for the optimiser).
        if (keep) std::copy_n(data(), std::min<std::size_t>(m_Size, capacity), block);
        Free();
        m_Heap = block;
        m_Place = place;
    }
    void Free() noexcept {
        if (m_Place == kOnHeap)
            delete[] (m_Heap - 1);
        else if (m_Place == kInArena)
            value_arena::Free(m_Heap, value_arena::ClassOf(m_Size));
        m_Place = kInside;
    }
    void Steal(CValueArray& o) noexcept {
        m_Size = o.m_Size;
        m_Place = o.m_Place;
        if (o.m_Place != kInside)
            m_Heap = o.m_Heap;
        else
            std::copy(o.m_Inline, o.m_Inline + kInline, m_Inline);
        o.m_Size = 0;
        o.m_Place = kInside;
    }

    union {
        double* m_Heap;
        double m_Inline[kInline] = {0.0, 0.0};
    };
    std::uint32_t m_Size : 30 = 0;
    std::uint32_t m_Place : 2 = kInside;
};
static_assert(sizeof(CValueArray) == 24);

}  // namespace quorin
