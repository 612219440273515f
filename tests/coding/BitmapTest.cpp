// Reading bitmaps of every kind, refusing the rest, and the signature rule.
#include "coding/Bitmap.h"

#include <gtest/gtest.h>

#include "coding/ImageSignature.h"
#include "support/BitmapFiles.h"

namespace quorin::test {
namespace {

CRgb Gradient(int x, int y) {
    return {static_cast<std::uint8_t>(x * 37 + y * 11), static_cast<std::uint8_t>(y * 53 + 7),
            static_cast<std::uint8_t>(x * y * 29 + 200)};
}

const std::vector<CRgb> kPalette = {{0, 0, 0},     {255, 255, 255}, {200, 10, 30},
                                    {5, 150, 250}, {99, 98, 97},    {1, 2, 3}};

CBitmap Load(const CBitmapLayout& layout) {
    CBitmap bitmap;
    const auto bytes = MakeBitmap(layout);
    EXPECT_TRUE(bitmap.Load(bytes)) << layout.BitCount << " bits, header " << layout.HeaderSize;
    return bitmap;
}

TEST(BitmapTest, EveryReadableKindInBothRowOrders) {
    for (bool topDown : {false, true}) {
        for (int header : {40, 52, 56, 64, 108, 124}) {
            CBitmapLayout layout;
            layout.Width = 7;
            layout.Height = 5;
            layout.HeaderSize = header;
            layout.TopDown = topDown;
            layout.Colour = Gradient;
            layout.BitCount = 24;
            CBitmap b24 = Load(layout);
            layout.BitCount = 32;
            CBitmap b32 = Load(layout);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x) {
                    EXPECT_EQ(b24.Pixel(x, y), Gradient(x, y));
                    EXPECT_EQ(b32.Pixel(x, y), Gradient(x, y));
                }
            for (int bits : {1, 4, 8}) {
                CBitmapLayout p;
                p.Width = 9;
                p.Height = 4;
                p.HeaderSize = header;
                p.TopDown = topDown;
                p.BitCount = bits;
                p.Palette = bits == 1 ? std::vector<CRgb>{kPalette[2], kPalette[3]} : kPalette;
                const int n = static_cast<int>(p.Palette.size());
                p.Index = [n](int x, int y) { return (x + 2 * y) % n; };
                CBitmap b = Load(p);
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 9; ++x) EXPECT_EQ(b.Pixel(x, y), p.Palette[(x + 2 * y) % n]);
            }
        }
    }
    // The core header keeps three-byte palette entries and cannot be top-down.
    CBitmapLayout core;
    core.HeaderSize = 12;
    core.BitCount = 8;
    core.Palette = kPalette;
    core.Index = [](int x, int y) { return (x * y) % 6; };
    CBitmap b = Load(core);
    EXPECT_EQ(b.Pixel(3, 2), kPalette[0]);
    EXPECT_EQ(b.Pixel(3, 1), kPalette[3]);
}

TEST(BitmapTest, SixteenBitAndBitFieldChannelsWidenByRepeatingTheirBits) {
    CBitmapLayout layout;
    layout.Width = 2;
    layout.Height = 2;
    layout.BitCount = 16;
    layout.Colour = [](int, int) { return CRgb{0b10110000, 0b11111000, 0b00001000}; };
    CBitmap b = Load(layout);  // 5-5-5
    EXPECT_EQ(b.Pixel(1, 1), (CRgb{0b10110101, 0b11111111, 0b00001000}));
    layout.Compression = 3;
    layout.Masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
    layout.Colour = [](int, int) { return CRgb{0b00001000, 0b10000100, 0b11111000}; };
    b = Load(layout);
    EXPECT_EQ(b.Pixel(0, 0), (CRgb{0b00001000, 0b10000110, 0b11111111}));
    layout.BitCount = 32;
    layout.Masks = {0x000003FF, 0x000FFC00, 0x3FF00000};  // ten bits each: the top eight count
    layout.Colour = [](int, int) { return CRgb{12, 200, 255}; };
    b = Load(layout);
    EXPECT_EQ(b.Pixel(1, 0), (CRgb{12, 200, 255}));
}

TEST(BitmapTest, OutsideThePaletteAndTheBitmapIsBlack) {
    CBitmapLayout layout;
    layout.BitCount = 8;
    layout.Palette = {{10, 20, 30}, {40, 50, 60}};
    layout.Index = [](int x, int) { return x * 80; };  // 0, 80, 160, 240
    CBitmap b = Load(layout);
    EXPECT_EQ(b.Pixel(0, 0), (CRgb{10, 20, 30}));
    EXPECT_EQ(b.Pixel(1, 0), CRgb{});
    EXPECT_EQ(b.Pixel(-1, 0), CRgb{});
    EXPECT_EQ(b.Pixel(4, 0), CRgb{});
    EXPECT_EQ(b.Pixel(0, 3), CRgb{});
}

TEST(BitmapTest, CompressedTruncatedAndMalformedFilesDoNotLoad) {
    CBitmapLayout layout;
    layout.Colour = Gradient;
    const auto good = MakeBitmap(layout);
    CBitmap b;
    auto refused = [&](std::vector<std::uint8_t> bytes) { return !b.Load(bytes) && !b.Loaded(); };
    EXPECT_FALSE(refused(good));
    EXPECT_TRUE(refused({good.begin(), good.end() - 1}));  // one byte short
    EXPECT_TRUE(refused({good.begin(), good.begin() + 20}));
    EXPECT_TRUE(refused({}));
    auto patched = [&](std::size_t at, std::uint8_t v) {
        auto bytes = good;
        bytes[at] = v;
        return bytes;
    };
    EXPECT_TRUE(refused(patched(0, 'P')));    // not "BM"
    EXPECT_TRUE(refused(patched(14, 41)));    // unknown header size
    EXPECT_TRUE(refused(patched(28, 2)));     // bit count 2
    EXPECT_TRUE(refused(patched(26, 2)));     // two planes
    EXPECT_TRUE(refused(patched(18, 0)));     // width 0 (4 -> 0)
    auto huge = patched(21, 0x7F);            // width 2^31 - 1 + ... claimed by the header
    EXPECT_TRUE(refused(huge));
    auto tall = patched(25, 0x7F);
    EXPECT_TRUE(refused(tall));
    CBitmapLayout rle;
    rle.BitCount = 8;
    rle.Palette = kPalette;
    rle.Index = [](int, int) { return 1; };
    rle.Compression = 1;
    EXPECT_TRUE(refused(MakeBitmap(rle)));
    rle.BitCount = 24;
    rle.Compression = 3;  // bit fields are 16- and 32-bit only
    rle.Colour = Gradient;
    rle.Masks = {0xFF0000, 0xFF00, 0xFF};
    EXPECT_TRUE(refused(MakeBitmap(rle)));
    rle.BitCount = 32;
    rle.Masks = {0xF0F0, 0x0F00, 0xFF};  // not a run of bits
    EXPECT_TRUE(refused(MakeBitmap(rle)));
}

TEST(ImageSignatureTest, UniformPicturesGiveTheirCodesByHand) {
    CBitmapLayout layout;
    layout.Colour = [](int, int) { return CRgb{200, 100, 50}; };
    // Green never changes from its starting 100; red and blue change once; no level is
    // within 10 of any colour, so every edge stays at 100.
    std::string s = BitmapSignature(Load(layout));
    EXPECT_EQ(s, "101100101100100100100100100");
    EXPECT_EQ(SignatureCode(s, 1), 300);
    EXPECT_EQ(SignatureCode(s, 2), 302);
    EXPECT_EQ(SignatureCode(s, 3), 300);
    EXPECT_EQ(SignatureCode(s, 0), 902);
    layout.Colour = [](int, int) { return CRgb{}; };
    s = BitmapSignature(Load(layout));
    EXPECT_EQ(s, "101101101100100100100100100");
    // A region of under three pixels has no samples: levels are the starting sums.
    EXPECT_EQ(RegionSignature(Load(layout), 1, 2, 0, 0), "100100100100100100200200200");
}

TEST(ImageSignatureTest, PicturesTakeTheSourcePixelUnderEachCentre) {
    // A 256-wide source pictured at 128 reads its odd columns and rows only.
    CBitmapLayout big;
    big.Width = big.Height = 256;
    big.Colour = [](int x, int y) {
        return x % 2 && y % 2 ? Gradient(x, y) : CRgb{255, 0, 255};
    };
    CBitmapLayout small;
    small.Width = small.Height = 128;
    small.TopDown = true;
    small.Colour = [](int x, int y) { return Gradient(2 * x + 1, 2 * y + 1); };
    EXPECT_EQ(BitmapSignature(Load(big)), BitmapSignature(Load(small)));
    EXPECT_EQ(CentreSample(0, 3, 128), 0);
    EXPECT_EQ(CentreSample(64, 3, 128), 1);
    EXPECT_EQ(CentreSample(127, 3, 128), 2);
    EXPECT_EQ(CentreSample(127, 1000, 128), 996);
}

TEST(ImageSignatureTest, CodesPinnedForGeneratedBitmaps) {
    CBitmapLayout layout;
    layout.Width = 37;
    layout.Height = 23;
    layout.Colour = Gradient;
    const std::string gradient = BitmapSignature(Load(layout));
    layout.BitCount = 16;
    const std::string sixteen = BitmapSignature(Load(layout));
    CBitmapLayout p;
    p.Width = 50;
    p.Height = 50;
    p.BitCount = 4;
    p.Palette = kPalette;
    p.Index = [](int x, int y) { return (x / 10 + y / 7) % 6; };
    const std::string paletted = BitmapSignature(Load(p));
    EXPECT_EQ(gradient, "139805991220194300227216227");
    EXPECT_EQ(sixteen, "899805850245194300223216225");
    EXPECT_EQ(paletted, "127127127100100313179172188");
    EXPECT_EQ(SignatureCode(gradient, 1), 714);
    EXPECT_EQ(SignatureCode(paletted, 2), 381);
    EXPECT_EQ(SignatureCode(sixteen, 3), 664);
}

}  // namespace
}  // namespace quorin::test
