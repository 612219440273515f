// Reading .bmp files for image coding.
#include "coding/Bitmap.h"

#include <bit>
#include <cstdio>
#include <filesystem>
#include <limits>

namespace quorin {

namespace {

constexpr std::int64_t kFileHeader = 14;

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::int64_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8);
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::int64_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

std::int32_t S32(const std::vector<std::uint8_t>& b, std::int64_t at) {
    return static_cast<std::int32_t>(U32(b, at));
}

bool KnownHeaderSize(std::uint32_t size) {
    switch (size) {
        case 12:   // core
        case 16:   // short OS/2 2.x
        case 40:   // Windows 3
        case 52:   // with the colour masks
        case 56:   // with the alpha mask
        case 64:   // OS/2 2.x
        case 108:  // version 4
        case 124:  // version 5
            return true;
        default: return false;
    }
}

}  // namespace

bool CBitmap::MakeChannel(std::uint32_t mask, CChannel& channel) {
    channel = {};
    if (mask == 0) return true;  // a channel the file does not have reads as 0
    channel.Mask = mask;
    channel.Shift = std::countr_zero(mask);
    const std::uint32_t bits = mask >> channel.Shift;
    // Only a contiguous run of bits is a channel.
    if ((bits & (bits + 1)) != 0) return false;
    channel.Bits = std::popcount(bits);
    return true;
}

std::uint8_t CBitmap::Widen(std::uint32_t pixel, const CChannel& channel) {
    if (channel.Bits == 0) return 0;
    const std::uint32_t v = (pixel & channel.Mask) >> channel.Shift;
    if (channel.Bits >= 8) return static_cast<std::uint8_t>(v >> (channel.Bits - 8));
    // Repeat the bits from the top down: abcde becomes abcdeabc.
    std::uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
        out = (out << channel.Bits) | v;
        filled += channel.Bits;
    }
    return static_cast<std::uint8_t>(out >> (filled - 8));
}

bool CBitmap::Load(std::span<const std::uint8_t> bytes) {
    m_Bytes.assign(bytes.begin(), bytes.end());
    if (Parse()) return true;
    *this = CBitmap();
    return false;
}

bool CBitmap::LoadFile(const std::string& path) {
    *this = CBitmap();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size < kFileHeader || size > static_cast<std::uintmax_t>(kMaxBitmapFileBytes))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    m_Bytes.resize(static_cast<std::size_t>(size));
    const std::size_t read = std::fread(m_Bytes.data(), 1, m_Bytes.size(), f);
    std::fclose(f);
    if (read == m_Bytes.size() && Parse()) return true;
    *this = CBitmap();
    return false;
}

bool CBitmap::Parse() {
    const std::vector<std::uint8_t>& b = m_Bytes;
    const std::int64_t fileSize = static_cast<std::int64_t>(b.size());
    if (fileSize < kFileHeader + 4 || b[0] != 'B' || b[1] != 'M') return false;
    const std::int64_t offBits = U32(b, 10);
    const std::uint32_t headerSize = U32(b, kFileHeader);
    if (!KnownHeaderSize(headerSize) || kFileHeader + headerSize > fileSize) return false;
    const std::int64_t h = kFileHeader;
    std::int64_t width, height;
    std::uint32_t planes, bitCount, compression = 0, colours = 0;
    if (headerSize == 12) {
        width = U16(b, h + 4);
        height = U16(b, h + 6);
        planes = U16(b, h + 8);
        bitCount = U16(b, h + 10);
    } else {
        width = S32(b, h + 4);
        height = S32(b, h + 8);
        planes = U16(b, h + 12);
        bitCount = U16(b, h + 14);
        if (headerSize >= 40) {
            compression = U32(b, h + 16);
            colours = U32(b, h + 32);
        }
    }
    if (planes != 1 || width <= 0 || height == 0 ||
        height == std::numeric_limits<std::int32_t>::min())
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return false;
    const bool os2 = headerSize == 16 || headerSize == 64;
    const bool bitFields = !os2 && (compression == 3 || compression == 6);
    // RLE, JPEG, PNG and the OS/2 Huffman and RLE24 codings are not read.
    if (compression != 0 && !bitFields) return false;
    if (bitFields && bitCount != 16 && bitCount != 32) return false;
    m_TopDown = height < 0;
    if (m_TopDown) height = -height;

    std::int64_t tables = h + headerSize;
    if (bitFields) {
        std::int64_t masksAt = h + 40;
        if (headerSize == 40) tables += compression == 6 ? 16 : 12;
        if (tables > fileSize || masksAt + 12 > fileSize) return false;
        if (!MakeChannel(U32(b, masksAt), m_Red) || !MakeChannel(U32(b, masksAt + 4), m_Green) ||
            !MakeChannel(U32(b, masksAt + 8), m_Blue))
            return false;
        if (bitCount == 16 &&
            ((m_Red.Mask | m_Green.Mask | m_Blue.Mask) & 0xFFFF0000u) != 0)
            return false;
        m_Masked = true;
    } else if (bitCount == 16) {
        MakeChannel(0x7C00u, m_Red);
        MakeChannel(0x03E0u, m_Green);
        MakeChannel(0x001Fu, m_Blue);
        m_Masked = true;
    }

    if (offBits < tables || offBits > fileSize) return false;
    if (bitCount <= 8) {
        const std::int64_t entry = headerSize == 12 ? 3 : 4;
        std::int64_t count = std::int64_t{1} << bitCount;
        if (colours != 0 && colours < count) count = colours;
        // A short palette ends where the pixels begin.
        count = std::min(count, (offBits - tables) / entry);
        m_Palette.resize(static_cast<std::size_t>(count));
        for (std::int64_t i = 0; i < count; ++i) {
            const std::int64_t at = tables + i * entry;
            m_Palette[static_cast<std::size_t>(i)] = {b[at + 2], b[at + 1], b[at]};
        }
    }

    m_Stride = ((width * bitCount + 31) / 32) * 4;
    // Every row must be there: a truncated file does not load.
    if (height > (fileSize - offBits) / m_Stride) return false;
    m_Width = static_cast<std::int32_t>(width);
    m_Height = static_cast<std::int32_t>(height);
    m_BitCount = static_cast<int>(bitCount);
    m_PixelOffset = offBits;
    return true;
}

CRgb CBitmap::Pixel(std::int64_t x, std::int64_t y) const {
    if (x < 0 || y < 0 || x >= m_Width || y >= m_Height) return {};
    const std::int64_t row = m_TopDown ? y : m_Height - 1 - y;
    const std::int64_t at = m_PixelOffset + row * m_Stride;
    const std::vector<std::uint8_t>& b = m_Bytes;
    auto paletted = [this](std::uint32_t index) {
        return index < m_Palette.size() ? m_Palette[index] : CRgb{};
    };
    switch (m_BitCount) {
        case 1: return paletted((b[at + x / 8] >> (7 - x % 8)) & 1u);
        case 4: return paletted((b[at + x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xFu);
        case 8: return paletted(b[at + x]);
        case 16: {
            const std::uint32_t p = U16(b, at + 2 * x);
            return {Widen(p, m_Red), Widen(p, m_Green), Widen(p, m_Blue)};
        }
        case 24: return {b[at + 3 * x + 2], b[at + 3 * x + 1], b[at + 3 * x]};
        default: {
            const std::int64_t p = at + 4 * x;
            if (!m_Masked) return {b[p + 2], b[p + 1], b[p]};  // the fourth byte is not colour
            const std::uint32_t v = U32(b, p);
            return {Widen(v, m_Red), Widen(v, m_Green), Widen(v, m_Blue)};
        }
    }
}

}  // namespace quorin
