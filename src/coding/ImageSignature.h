#pragma once
// The image signature of a bitmap and the three codes taken from it.
#include <cstdint>
#include <string>

#include "coding/Bitmap.h"

namespace quorin {

// Every bitmap is pictured at this size before it is coded; each of the nine signature
// numbers then keeps three digits.
inline constexpr int kPictureWidth = 128;
inline constexpr int kPictureHeight = 128;

// Fragments bigger than this are not coded (a descriptor in a file is hostile input).
inline constexpr std::int64_t kMaxFragmentPixels = 4096LL * 4096;

// The signature of a whole bitmap, pictured at 128 x 128 by taking the source pixel under
// each picture pixel's centre.
std::string BitmapSignature(const CBitmap& bitmap);
// The signature of a region of a bitmap, pictured at its own size; pixels outside the
// bitmap are black.
std::string RegionSignature(const CBitmap& bitmap, int width, int height, std::int64_t left,
                            std::int64_t top);
// Part 1 Pair, 2 Edge, 3 Block; 0 the sum of the three.
double SignatureCode(const std::string& signature, int part);

// The source pixel under the centre of picture pixel `at` of `picture` pixels.
inline std::int64_t CentreSample(std::int64_t at, std::int64_t source, std::int64_t picture) {
    return (2 * at + 1) * source / (2 * picture);
}

}  // namespace quorin
