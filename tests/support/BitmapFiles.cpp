#include "support/BitmapFiles.h"

#include <bit>
#include <cstdio>

namespace quorin::test {

namespace {
void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}
std::uint32_t Pack(std::uint8_t c, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t v = bits >= 8 ? static_cast<std::uint32_t>(c) << (bits - 8) : c >> (8 - bits);
    return (v << shift) & mask;
}
}  // namespace

std::vector<std::uint8_t> MakeBitmap(const CBitmapLayout& s) {
    const bool core = s.HeaderSize == 12;
    const std::size_t masks = (s.Compression == 3 && s.HeaderSize == 40) ? 12 : 0;
    const std::size_t entry = core ? 3 : 4;
    const std::size_t tables = 14 + s.HeaderSize + masks;
    const std::size_t offBits = tables + s.Palette.size() * entry;
    const std::size_t stride = ((s.Width * s.BitCount + 31) / 32) * 4;
    std::vector<std::uint8_t> b(offBits + stride * s.Height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, static_cast<std::uint32_t>(offBits));
    Put32(b, 14, s.HeaderSize);
    if (core) {
        Put16(b, 18, s.Width);
        Put16(b, 20, s.Height);
        Put16(b, 22, 1);
        Put16(b, 24, s.BitCount);
    } else {
        Put32(b, 18, s.Width);
        Put32(b, 22, static_cast<std::uint32_t>(s.TopDown ? -s.Height : s.Height));
        Put16(b, 26, 1);
        Put16(b, 28, s.BitCount);
        if (s.HeaderSize >= 40) {
            Put32(b, 30, s.Compression);
            Put32(b, 46, static_cast<std::uint32_t>(s.Palette.size()));
        }
        if (s.Compression == 3)
            for (int k = 0; k < 3; ++k) Put32(b, 54 + 4 * k, s.Masks[k]);
    }
    for (std::size_t i = 0; i < s.Palette.size(); ++i) {
        b[tables + i * entry] = s.Palette[i].B;
        b[tables + i * entry + 1] = s.Palette[i].G;
        b[tables + i * entry + 2] = s.Palette[i].R;
    }
    const std::array<std::uint32_t, 3> masks16 =
        s.Compression == 3 ? s.Masks : std::array<std::uint32_t, 3>{0x7C00, 0x03E0, 0x001F};
    const std::array<std::uint32_t, 3> masks32 =
        s.Compression == 3 ? s.Masks : std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF};
    for (int y = 0; y < s.Height; ++y) {
        const int fileRow = s.TopDown ? y : s.Height - 1 - y;
        const std::size_t at = offBits + fileRow * stride;
        for (int x = 0; x < s.Width; ++x) {
            switch (s.BitCount) {
                case 1: b[at + x / 8] |= (s.Index(x, y) & 1) << (7 - x % 8); break;
                case 4: b[at + x / 2] |= (s.Index(x, y) & 0xF) << (x % 2 == 0 ? 4 : 0); break;
                case 8: b[at + x] = static_cast<std::uint8_t>(s.Index(x, y)); break;
                case 16: {
                    const CRgb c = s.Colour(x, y);
                    Put16(b, at + 2 * x, Pack(c.R, masks16[0]) | Pack(c.G, masks16[1]) | Pack(c.B, masks16[2]));
                    break;
                }
                case 24: {
                    const CRgb c = s.Colour(x, y);
                    b[at + 3 * x] = c.B;
                    b[at + 3 * x + 1] = c.G;
                    b[at + 3 * x + 2] = c.R;
                    break;
                }
                default: {
                    const CRgb c = s.Colour(x, y);
                    // The fourth byte carries noise that must be ignored.
                    Put32(b, at + 4 * x, Pack(c.R, masks32[0]) | Pack(c.G, masks32[1]) |
                                             Pack(c.B, masks32[2]) |
                                             (s.Compression == 3 ? 0u : 0xA5000000u));
                }
            }
        }
    }
    return b;
}

void WriteBitmap(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void WriteUniformBitmap(const std::string& path, int width, int height, CRgb colour) {
    CBitmapLayout layout;
    layout.Width = width;
    layout.Height = height;
    layout.Colour = [colour](int, int) { return colour; };
    WriteBitmap(path, MakeBitmap(layout));
}

}  // namespace quorin::test
