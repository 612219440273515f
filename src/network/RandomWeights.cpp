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

int ScriptRowOfDraw(int draw, int rows) {
    int index = static_cast<int>(draw * static_cast<double>(rows) / 32767.0);
    if (index >= rows) index = rows - 1;
    if (index == 0 || index == 1) ++index;
    if (index == rows - 1) --index;
    return index < 0 || index >= rows ? -1 : index;
}

int ScriptRandomRow(int rows) { return ScriptRowOfDraw(NextRandom(), rows); }

int DialogRandomRow(int rows) {
    const int r = NextRandom();
    int index = static_cast<int>(r * static_cast<double>(rows) * (1.0 / 32767));
    if (index <= 1) index += 1;
    if (index == rows - 1) index -= 1;
    if (index >= rows - 1) index = rows - 2;  // r = 32767 would reach one past the end
    return index;
}

}  // namespace quorin
