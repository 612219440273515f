#pragma once
// Bitmap files made by the tests themselves, in every layout the reader takes and some it
// refuses.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "coding/Bitmap.h"

namespace quorin::test {

struct CBitmapLayout {
    int Width = 4;
    int Height = 3;
    int BitCount = 24;
    int HeaderSize = 40;
    bool TopDown = false;
    int Compression = 0;                     // 3: bit fields with Masks
    std::array<std::uint32_t, 3> Masks{};    // red, green, blue
    std::vector<CRgb> Palette;               // bit counts up to 8
    std::function<CRgb(int x, int y)> Colour;  // y = 0 the top row; direct colours
    std::function<int(int x, int y)> Index;    // palette bitmaps
};

std::vector<std::uint8_t> MakeBitmap(const CBitmapLayout& layout);
void WriteBitmap(const std::string& path, const std::vector<std::uint8_t>& bytes);
// A plain 24-bit bitmap file of one colour.
void WriteUniformBitmap(const std::string& path, int width, int height, CRgb colour);

}  // namespace quorin::test
