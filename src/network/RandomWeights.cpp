#include "network/RandomWeights.h"

namespace quorin {

namespace {
thread_local std::uint32_t t_RandomState = 12345;
}

void SeedRandom(std::uint32_t seed) { t_RandomState = seed; }

int NextRandom() {
    t_RandomState = t_RandomState * 214013u + 2531011u;  // wraps modulo 2^32
    return static_cast<int>((t_RandomState >> 16) & 0x7FFFu);
}

// The multiplier is 1/32767 rounded to eight significant digits; stored weights depend on it.
double RandomWeight() { return NextRandom() * 0.000030518507 - 0.5; }

}  // namespace quorin
