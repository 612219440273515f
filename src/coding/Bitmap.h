#pragma once
// A reader for uncompressed .bmp files: 1-, 4- and 8-bit palette, 16-, 24- and 32-bit and
// bit-field bitmaps, with the core, OS/2 and every Windows header size. Pixels are read
// straight from the file's bytes, so nothing is allocated by the picture's dimensions.
// Everything else (compressed or truncated files, other formats) does not load.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorin {

struct CRgb {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    bool operator==(const CRgb&) const = default;
};

// Larger files are not read at all: a bitmap file is hostile input.
inline constexpr std::int64_t kMaxBitmapFileBytes = 256LL * 1024 * 1024;

class CBitmap {
public:
    // False when the bytes are not a readable bitmap; the object is then empty.
    bool Load(std::span<const std::uint8_t> bytes);
    bool LoadFile(const std::string& path);
    bool Loaded() const { return m_Width > 0; }
    std::int32_t Width() const { return m_Width; }
    std::int32_t Height() const { return m_Height; }
    // Row 0 is the top row as displayed, whichever order the file keeps. A pixel outside
    // the bitmap, or a palette index past the palette, is black.
    CRgb Pixel(std::int64_t x, std::int64_t y) const;

private:
    struct CChannel {
        std::uint32_t Mask = 0;
        int Shift = 0;
        int Bits = 0;
    };
    bool Parse();
    static bool MakeChannel(std::uint32_t mask, CChannel& channel);
    static std::uint8_t Widen(std::uint32_t pixel, const CChannel& channel);

    std::vector<std::uint8_t> m_Bytes;
    std::int32_t m_Width = 0;
    std::int32_t m_Height = 0;
    bool m_TopDown = false;
    int m_BitCount = 0;
    bool m_Masked = false;  // 16- and 32-bit pixels go through the channel masks
    CChannel m_Red, m_Green, m_Blue;
    std::vector<CRgb> m_Palette;
    std::int64_t m_PixelOffset = 0;
    std::int64_t m_Stride = 0;
};

}  // namespace quorin
