#include "network/VectorExp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace quorin::test {
namespace {

// Learning relies on the four-lane exp being the C library's, bit for bit; where it is not,
// the engine quietly falls back to the library, and this is the test that says so.
TEST(VectorExpTest, FourLanesAreTheLibrarysExpBitForBit) {
    double probe[4] = {0, 0, 0, 0}, out[4];
    if (!ExpFourLanes(probe, out)) GTEST_SKIP() << "no AVX2 and FMA here";
    EXPECT_TRUE(VectorExpAgrees());

    std::vector<double> xs = {0.0, -0.0, 1.0, -1.0, 0x1p-54, -0x1p-54, 0x1p-60, 1e-300,
                              4.9e-324, 511.999, -511.999, 512.0, -512.0, 709.78, 709.79,
                              -708.4, -745.1, -745.2, 1000.0, -1000.0,
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> nets(-40.0, 40.0), wide(-760.0, 760.0);
    for (int i = 0; i < 200000; ++i) {
        xs.push_back(nets(random));
        xs.push_back(wide(random));
        std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        xs.push_back(any);
    }
    // Every table entry, on both sides of its rounding boundary.
    for (int k = -2048; k <= 2048; ++k) {
        const double centre = k * 0x1.62e42fefa39efp-8;
        xs.push_back(std::nextafter(centre - 0x1.62e42fefa39efp-9, 0.0));
        xs.push_back(centre + 0x1.62e42fefa39efp-9);
    }
    while (xs.size() % 4) xs.push_back(0.5);

    int differing = 0;
    for (std::size_t i = 0; i < xs.size(); i += 4) {
        ASSERT_TRUE(ExpFourLanes(&xs[i], out));
        for (int k = 0; k < 4; ++k) {
            const double want = std::exp(xs[i + k]);
            if (std::memcmp(&want, &out[k], sizeof want) != 0 && !(std::isnan(want) && std::isnan(out[k])))
                if (++differing <= 5) ADD_FAILURE() << std::hexfloat << xs[i + k] << ": " << out[k] << " not " << want;
        }
    }
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace quorin::test
