#pragma once
// The generator behind every initial weight and bias. Its state belongs to the calling
// thread, so a learning thread and the user interface never disturb each other's sequence.
#include <cstdint>

namespace quorin {

void SeedRandom(std::uint32_t seed);
// Next value of the sequence, 0 to 32767.
int NextRandom();
// Next initial weight, in [-0.5, +0.5).
double RandomWeight();

}  // namespace quorin
