#pragma once
// exp of four lanes at once, bit for bit the C library's exp on processors with AVX2 and FMA.
//
// Learning evaluates 1 / (1 + exp(-net)) once per node per presentation; on small networks
// those calls cost more than all the weights. On processors with FMA the C library computes
// exp(x) = 2^(k/128) exp(r), x = k ln2/128 + r, |r| <= ln2/256, with 2^(k/128) from a table as
// scale (1 + tail) and exp(r) - 1 from a degree-5 polynomial, fusing some multiply-adds.
// Exp4 takes the very same steps, constants, roundings and fusions, four lanes at a time, so
// its results equal the library's; VectorExpAgrees() confirms that on first use, and callers
// fall back to std::exp unless it does. Lanes the library treats as special cases (|x| >= 512,
// inf, NaN) are flagged for the caller to hand to std::exp.
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#define QUORIN_HAVE_VECTOR_EXP 1
#else
#define QUORIN_HAVE_VECTOR_EXP 0
#endif

namespace quorin {

// True when this processor has AVX2 and FMA and Exp4 agreed with std::exp on every probe.
bool VectorExpAgrees();

// exp(x[i]) for four lanes through Exp4 (special lanes through std::exp); false, leaving out
// alone, where the processor lacks AVX2 or FMA.
bool ExpFourLanes(const double* x, double* out);

#if QUORIN_HAVE_VECTOR_EXP
namespace vector_exp {

inline constexpr double kInvLn2N = 0x1.71547652b82fep7;
inline constexpr double kNegLn2HiN = -0x1.62e42fefa0000p-8;
inline constexpr double kNegLn2LoN = -0x1.cf79abc9e3b3ap-47;
inline constexpr double kC2 = 0x1.ffffffffffdbdp-2;
inline constexpr double kC3 = 0x1.555555555543cp-3;
inline constexpr double kC4 = 0x1.55555cf172b91p-5;
inline constexpr double kC5 = 0x1.1111167a4d017p-7;
inline constexpr double kShift = 0x1.8p52;
// Top 12 bits of |x| from here on (|x| >= 512, inf, NaN) are the library's special cases;
// below kFirstPolynomialTop (|x| < 2^-54) exp(x) is 1 + x.
inline constexpr long long kFirstSpecialTop = 0x408;
inline constexpr long long kFirstPolynomialTop = 0x3c9;

alignas(64) inline constexpr std::uint64_t kTable[256] = {
#include "network/ExpTable.inc"
};

// `special` gets all-ones in the lanes that must go to std::exp.
__attribute__((target("avx2,fma"), always_inline)) inline __m256d Exp4(__m256d x,
                                                                       __m256i& special) {
    const __m256i top = _mm256_and_si256(_mm256_srli_epi64(_mm256_castpd_si256(x), 52),
                                         _mm256_set1_epi64x(0x7ff));
    special = _mm256_cmpgt_epi64(top, _mm256_set1_epi64x(kFirstSpecialTop - 1));
    const __m256i tiny = _mm256_cmpgt_epi64(_mm256_set1_epi64x(kFirstPolynomialTop), top);

    const __m256d shift = _mm256_set1_pd(kShift);
    __m256d kd = _mm256_fmadd_pd(x, _mm256_set1_pd(kInvLn2N), shift);
    const __m256i ki = _mm256_castpd_si256(kd);
    kd = _mm256_sub_pd(kd, shift);
    __m256d r = _mm256_fmadd_pd(kd, _mm256_set1_pd(kNegLn2HiN), x);
    r = _mm256_fmadd_pd(kd, _mm256_set1_pd(kNegLn2LoN), r);
    // Each entry's two words are adjacent: four 16-byte loads and a transpose beat a gather.
    const __m128i kiLow = _mm256_castsi256_si128(ki), kiHigh = _mm256_extracti128_si256(ki, 1);
    const auto entry = [](long long k) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(kTable + 2 * (k & 127)));
    };
    const __m256i e02 = _mm256_set_m128i(entry(_mm_cvtsi128_si64(kiHigh)),
                                         entry(_mm_cvtsi128_si64(kiLow)));
    const __m256i e13 = _mm256_set_m128i(entry(_mm_extract_epi64(kiHigh, 1)),
                                         entry(_mm_extract_epi64(kiLow, 1)));
    const __m256d tail = _mm256_castsi256_pd(_mm256_unpacklo_epi64(e02, e13));
    const __m256i sbits =
        _mm256_add_epi64(_mm256_unpackhi_epi64(e02, e13), _mm256_slli_epi64(ki, 45));
    const __m256d p23 = _mm256_fmadd_pd(r, _mm256_set1_pd(kC3), _mm256_set1_pd(kC2));
    const __m256d tailR = _mm256_add_pd(r, tail);
    const __m256d r2 = _mm256_mul_pd(r, r);
    const __m256d p45 = _mm256_fmadd_pd(r, _mm256_set1_pd(kC5), _mm256_set1_pd(kC4));
    const __m256d low = _mm256_fmadd_pd(p23, r2, tailR);
    const __m256d tmp = _mm256_fmadd_pd(_mm256_mul_pd(r2, r2), p45, low);
    const __m256d scale = _mm256_castsi256_pd(sbits);
    const __m256d result = _mm256_fmadd_pd(scale, tmp, scale);
    const __m256d onePlusX = _mm256_add_pd(x, _mm256_set1_pd(1.0));
    return _mm256_blendv_pd(result, onePlusX, _mm256_castsi256_pd(tiny));
}

}  // namespace vector_exp
#endif

}  // namespace quorin
