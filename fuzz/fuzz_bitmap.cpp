// Hostile bitmap files: the bytes are read as a bitmap, pictured and coded whole and as
// fragments.
#include <cstddef>
#include <cstdint>
#include <span>

#include "coding/Bitmap.h"
#include "coding/ImageSignature.h"

using namespace quorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CBitmap bitmap;
    if (!bitmap.Load(std::span<const std::uint8_t>(data, size))) return 0;
    SignatureCode(BitmapSignature(bitmap), 0);
    const int w = bitmap.Width() > 64 ? 64 : bitmap.Width();
    const int h = bitmap.Height() > 64 ? 64 : bitmap.Height();
    RegionSignature(bitmap, w, h, bitmap.Width() / 2, bitmap.Height() / 3);
    RegionSignature(bitmap, 1, 2, -1, bitmap.Height() - 1);
    return 0;
}
