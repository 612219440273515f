// Image signatures: random colour changes, edge positions and levels of a picture.
#include "coding/ImageSignature.h"

#include <array>
#include <cstdlib>

#include "network/RandomWeights.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

std::array<int, 3> Channels(const CRgb& p) { return {p.R, p.G, p.B}; }

// `pixel(x, y)` reads the picture, y = 0 being the top row.
template <class Pixel>
std::string Signature(std::int64_t w, std::int64_t h, Pixel pixel) {
    SeedRandom(12345);
    std::array<std::int64_t, 3> changes{100, 100, 100};
    std::array<std::int64_t, 3> sums{100, 100, 100};
    std::array<int, 3> previous{100, 100, 100};
    const std::int64_t samples = w * h / 3;
    for (std::int64_t i = 0; i < samples; ++i) {
        // A draw of 32767 would land one past the edge.
        std::int64_t x = NextRandom() * w / 32767;
        std::int64_t y = NextRandom() * h / 32767;
        if (x >= w) x = w - 1;
        if (y >= h) y = h - 1;
        const std::array<int, 3> c = Channels(pixel(x, y));
        for (int k = 0; k < 3; ++k) {
            if (c[k] != previous[k]) {
                if (++changes[k] == 1000) changes[k] = 100;
                sums[k] += c[k];
            }
            previous[k] = c[k];
        }
    }
    // A picture of under three pixels has no samples; its levels are the starting sums.
    const std::int64_t divisor = samples > 0 ? samples : 1;
    std::array<std::int64_t, 3> levels{};
    for (int k = 0; k < 3; ++k) levels[k] = sums[k] / divisor;

    std::array<std::int64_t, 3> edges{100, 100, 100};
    auto scan = [&](std::int64_t length, auto at) {
        std::array<bool, 3> looking{true, true, true};
        for (std::int64_t pos = 0; pos < length; ++pos) {
            const std::array<int, 3> c = Channels(at(pos));
            for (int k = 0; k < 3; ++k) {
                if (looking[k] && std::llabs(c[k] - levels[k]) < 10) {
                    edges[k] += pos;
                    looking[k] = false;
                }
            }
            if (!looking[0] && !looking[1] && !looking[2]) break;
        }
    };
    const std::int64_t midRow = h / 2;
    const std::int64_t midCol = w / 2;
    scan(w, [&](std::int64_t p) { return pixel(p, midRow); });
    scan(w, [&](std::int64_t p) { return pixel(w - 1 - p, midRow); });
    scan(h, [&](std::int64_t p) { return pixel(midCol, p); });
    scan(h, [&](std::int64_t p) { return pixel(midCol, h - 1 - p); });

    std::array<long long, 3> shown{};
    for (int k = 0; k < 3; ++k) shown[k] = levels[k] + 100 >= 1000 ? 100 : levels[k] + 100;
    return Format("%lld%lld%lld%lld%lld%lld%lld%lld%lld", static_cast<long long>(changes[0]),
                  static_cast<long long>(changes[1]), static_cast<long long>(changes[2]),
                  static_cast<long long>(edges[0]), static_cast<long long>(edges[1]),
                  static_cast<long long>(edges[2]), shown[0], shown[1], shown[2]);
}

double Slice(const std::string& signature, std::size_t at) {
    if (at >= signature.size()) return 0.0;
    return std::atoi(signature.substr(at, 3).c_str());
}

}  // namespace

std::string BitmapSignature(const CBitmap& bitmap) {
    const std::int64_t sw = bitmap.Width();
    const std::int64_t sh = bitmap.Height();
    return Signature(kPictureWidth, kPictureHeight, [&](std::int64_t x, std::int64_t y) {
        return bitmap.Pixel(CentreSample(x, sw, kPictureWidth), CentreSample(y, sh, kPictureHeight));
    });
}

std::string RegionSignature(const CBitmap& bitmap, int width, int height, std::int64_t left,
                            std::int64_t top) {
    return Signature(width, height, [&](std::int64_t x, std::int64_t y) {
        return bitmap.Pixel(left + x, top + y);
    });
}

double SignatureCode(const std::string& signature, int part) {
    switch (part) {
        case 1: return Slice(signature, 9) + Slice(signature, 12) + Slice(signature, 15);
        case 2: return Slice(signature, 0) + Slice(signature, 3) + Slice(signature, 6);
        case 3: return Slice(signature, 18) + Slice(signature, 21) + Slice(signature, 24);
        case 0:
            return SignatureCode(signature, 1) + SignatureCode(signature, 2) +
                   SignatureCode(signature, 3);
        default: return 0.0;
    }
}

}  // namespace quorin
