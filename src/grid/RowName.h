#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorin {

// The name of one Example row in 11 bytes, against 32 for std::string: a Grid of millions of
// narrow rows is mostly names. Up to kInline bytes live inside the object; a longer name takes
// one heap block holding its length, its bytes and the terminator. Byte-aligned, so that a row
// can put it in the unused end of its value arrays. A value type that converts to and from
// std::string; names may hold any bytes, NUL included.
class CRowName {
public:
    static constexpr std::size_t kInline = 10;

    CRowName() noexcept { SetInlineSize(0); }
    CRowName(std::string_view s) { Init(s); }  // NOLINT: converts like std::string
    CRowName(const std::string& s) { Init(s); }
    CRowName(const char* s) { Init(std::string_view(s)); }
    CRowName(const CRowName& o) { Init(o.view()); }
    CRowName(CRowName&& o) noexcept {
        std::memcpy(m_Bytes, o.m_Bytes, sizeof m_Bytes);
        o.SetInlineSize(0);
    }
    CRowName& operator=(const CRowName& o) {
        if (this != &o) Assign(o.view());
        return *this;
    }
    CRowName& operator=(CRowName&& o) noexcept {
        if (this != &o) {
            Free();
            std::memcpy(m_Bytes, o.m_Bytes, sizeof m_Bytes);
            o.SetInlineSize(0);
        }
        return *this;
    }
    CRowName& operator=(std::string_view s) {
        Assign(s);
        return *this;
    }
    CRowName& operator=(const std::string& s) { return *this = std::string_view(s); }
    CRowName& operator=(const char* s) { return *this = std::string_view(s); }
    ~CRowName() { Free(); }

    std::size_t size() const noexcept { return OnHeap() ? HeapSize() : kInline - Tag(); }
    std::size_t length() const noexcept { return size(); }
    bool empty() const noexcept { return size() == 0; }
    const char* data() const noexcept { return OnHeap() ? HeapPointer() : m_Bytes; }
    // Always terminated, also when the name holds NUL bytes of its own.
    const char* c_str() const noexcept { return data(); }
    std::string_view view() const noexcept { return {data(), size()}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const noexcept { return view(); }
    operator std::string() const { return str(); }
    std::string substr(std::size_t pos = 0, std::size_t n = std::string::npos) const {
        return std::string(view().substr(pos, n));
    }
    void clear() noexcept {
        Free();
        SetInlineSize(0);
    }

    friend bool operator==(const CRowName& a, const CRowName& b) noexcept { return a.view() == b.view(); }
    friend bool operator==(const CRowName& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const CRowName& a, const std::string& b) noexcept { return a.view() == b; }
    friend bool operator==(const CRowName& a, const char* b) noexcept { return a.view() == b; }
    friend std::string operator+(const char* a, const CRowName& b) { return a + b.str(); }
    friend std::string operator+(const std::string& a, const CRowName& b) { return a + b.str(); }
    friend std::string operator+(const CRowName& a, const char* b) { return a.str() + b; }
    friend std::string operator+(const CRowName& a, const std::string& b) { return a.str() + b; }

private:
    // The last byte: kHeapTag for a heap name, else kInline minus the inline length, which is
    // 0 (the terminator) for a name of exactly kInline bytes.
    static constexpr unsigned char kHeapTag = 0xFF;

    unsigned char Tag() const noexcept { return static_cast<unsigned char>(m_Bytes[kInline]); }
    bool OnHeap() const noexcept { return Tag() == kHeapTag; }
    // A heap block: the length in 4 bytes, then the name and its terminator.
    char* HeapBlock() const noexcept {
        char* p;
        std::memcpy(&p, m_Bytes, sizeof p);
        return p;
    }
    char* HeapPointer() const noexcept { return HeapBlock() + sizeof(std::uint32_t); }
    std::size_t HeapSize() const noexcept {
        std::uint32_t n;
        std::memcpy(&n, HeapBlock(), sizeof n);
        return n;
    }
    void SetInlineSize(std::size_t n) noexcept {
        m_Bytes[n] = '\0';
        m_Bytes[kInline] = static_cast<char>(kInline - n);
    }
    // Fills an empty (freed or new) object.
    void Init(std::string_view s) {
        const std::size_t n = s.size();
        if (n <= kInline) {
            if (n > 0) std::memcpy(m_Bytes, s.data(), n);
            SetInlineSize(n);
            return;
        }
        if (n >= UINT32_MAX) throw std::length_error("row name too long");
        char* block = new char[sizeof(std::uint32_t) + n + 1];
        const auto size = static_cast<std::uint32_t>(n);
        std::memcpy(block, &size, sizeof size);
        std::memcpy(block + sizeof size, s.data(), n);
        block[sizeof size + n] = '\0';
        std::memcpy(m_Bytes, &block, sizeof block);
        m_Bytes[kInline] = static_cast<char>(kHeapTag);
    }
    // `s` may lie inside this name, so the new one is made before the old one is freed.
    void Assign(std::string_view s) {
        CRowName made(s);
        *this = std::move(made);
    }
    void Free() noexcept {
        if (OnHeap()) delete[] HeapBlock();
    }

    char m_Bytes[kInline + 1];
};
static_assert(sizeof(CRowName) == 11 && alignof(CRowName) == 1);

}  // namespace quorin
