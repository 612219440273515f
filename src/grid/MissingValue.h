#pragma once
#include <bit>
#include <cstdint>

namespace quorin {

// The missing-value marker: single-precision 3e38 widened to double. Range scans and
// normalisation treat exactly this value as missing; averaging treats anything at or
// above it as missing.
inline constexpr double kMissing = std::bit_cast<double>(std::uint64_t{0x47EC363CC0000000});
// Starting value of a highest-value scan.
inline constexpr double kMinusMissing =
    std::bit_cast<double>(std::uint64_t{0xC7EC363CC0000000});

inline bool IsMissing(double v) { return v == kMissing; }

}  // namespace quorin
