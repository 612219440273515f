#include "network/VectorExp.h"

#include <cmath>
#include <cstring>

namespace quorin {

namespace {

#if QUORIN_HAVE_VECTOR_EXP
bool HasAvx2Fma() { return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"); }

__attribute__((target("avx2,fma"))) void ExpAvx2(const double* x, double* out) {
    __m256i special;
    _mm256_storeu_pd(out, vector_exp::Exp4(_mm256_loadu_pd(x), special));
    alignas(32) long long flags[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(flags), special);
    for (int k = 0; k < 4; ++k)
        if (flags[k]) out[k] = std::exp(x[k]);
}

// Probes every table entry, the range learning lives in, the whole range the polynomial
// serves and the edges of the special cases. A different C library (or one told not to use
// FMA) disagrees within the first few probes.
bool AgreesWithLibrary() {
    std::uint64_t state = 0x9e3779b97f4a7c15ULL;
    auto uniform = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<double>(state >> 11) * 0x1p-53;
    };
    double x[4], mine[4];
    auto agree = [&] {
        if (!ExpFourLanes(x, mine)) return false;
        for (int k = 0; k < 4; ++k) {
            const double want = std::exp(x[k]);
            if (std::memcmp(&want, &mine[k], sizeof want) != 0) return false;
        }
        return true;
    };
    for (int i = 0; i < 4096; ++i) {
        x[0] = (uniform() - 0.5) * 80.0;
        x[1] = (uniform() - 0.5) * 1500.0;
        x[2] = (i % 256 - 128) * 0x1.62e42fefa39efp-8 + (uniform() - 0.5) * 0x1p-9;
        x[3] = std::ldexp(uniform() - 0.5, -(i % 64));
        if (!agree()) return false;
    }
    const double edges[] = {0.0,    -0.0,   0x1p-54, -0x1p-54, 0x1.fffffffffffffp-55, 511.99,
                            -511.99, 512.0, -512.0, 709.78,   -745.2,               1e-300};
    for (std::size_t i = 0; i + 4 <= sizeof edges / sizeof edges[0]; i += 4) {
        std::memcpy(x, edges + i, sizeof x);
        if (!agree()) return false;
    }
    return true;
}
#endif

}  // namespace

bool VectorExpAgrees() {
#if QUORIN_HAVE_VECTOR_EXP
    static const bool agrees = HasAvx2Fma() && AgreesWithLibrary();
    return agrees;
#else
    return false;
#endif
}

bool ExpFourLanes(const double* x, double* out) {
#if QUORIN_HAVE_VECTOR_EXP
    if (!HasAvx2Fma()) return false;
    ExpAvx2(x, out);
    return true;
#else
    (void)x;
    (void)out;
    return false;
#endif
}

}  // namespace quorin
