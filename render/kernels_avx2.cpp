// The whole-plane kernels with AVX2, 32 bytes per step. This file alone is compiled for AVX2, and all it
// defines or instantiates is internal to it, so no AVX2 code can reach the other sets' callers.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "render/kernel_sets.h"
#include "render/kernels.h"
#include "render/simd_avx2.h"
#include "render/simd_plane_loops.h"

namespace avx2 {

namespace {

using V = Vectors;
using Wide = V::Wide;

// ---- Blur ----

using BlurSteps = PairSumBlurSteps<V>;

// ---- Dot projection ----

// One axis of eight dots from their coordinates in three vectors (x y z x y z ...): `order` brings
// each vector's coordinates of that axis to their dots' lanes, and the blends take lanes from the
// second and third vectors where the masks say. The masks are immediates, hence template arguments.
template <int fromSecond, int fromThird>
__m256i Axis(__m256i first, __m256i second, __m256i third, __m256i order) {
    const __m256i firstTwo = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(first, order),
                                                _mm256_permutevar8x32_epi32(second, order), fromSecond);
    return _mm256_blend_epi32(firstTwo, _mm256_permutevar8x32_epi32(third, order), fromThird);
}

}  // namespace

void ClearPlane(std::uint8_t* plane) { ClearPlaneWith<V>(plane); }

void LightPlane(const std::uint8_t* heights, const std::uint8_t* lightMap, int lightX, int lightY, std::uint8_t* lit) {
    LightPlaneWith<V>(heights, lightMap, lightX, lightY, lit);
}

void SumPoleFields(const std::int32_t* x, const std::int32_t* y, int count, const std::int32_t* poleX,
                   const std::int32_t* poleY, int poleCount, std::int32_t* sumX, std::int32_t* sumY) {
    SumPoleFieldsWith<V>(x, y, count, poleX, poleY, poleCount, sumX, sumY);
}

// Eight dots at a time: the 32-bit products wrap in the lanes as in the plain code, and the double
// steps (a quotient by 200, then * 0.75 + 127; the length factor) are the same IEEE operations in
// the same order, four lanes at a time.
void ProjectDots(const std::uint8_t* dots, int count, const std::int32_t turns[6], std::int32_t pulse,
                 const double* random, std::int32_t* x0, std::int32_t* y0, std::int32_t* x1, std::int32_t* y1) {
    constexpr int lanes = 8;
    const __m256i k = _mm256_set1_epi32(pulse + 20);
    const __m256i centre = _mm256_set1_epi32(127);
    __m256i turn[6];
    for (int j = 0; j < 6; ++j) turn[j] = _mm256_set1_epi32(turns[j]);
    const auto mul = [](__m256i a, __m256i b) { return _mm256_mullo_epi32(a, b); };
    // (a * p - b * q) >> 8 and (b * p + a * q) >> 8: one fixed-point turn.
    const auto turned = [&](__m256i p, __m256i q, int sine, __m256i& minus, __m256i& plus) {
        minus = _mm256_srai_epi32(_mm256_sub_epi32(mul(turn[sine], p), mul(turn[sine + 1], q)), 8);
        plus = _mm256_srai_epi32(_mm256_add_epi32(mul(turn[sine + 1], p), mul(turn[sine], q)), 8);
    };
    // Truncation of doubles known to lie well inside the 32-bit range, four lanes at a time.
    const auto truncated = [](__m256d lo, __m256d hi) {
        return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm256_cvttpd_epi32(lo)), _mm256_cvttpd_epi32(hi), 1);
    };
    const auto low = [](__m256i v) { return _mm256_cvtepi32_pd(_mm256_castsi256_si128(v)); };
    const auto high = [](__m256i v) { return _mm256_cvtepi32_pd(_mm256_extracti128_si256(v, 1)); };
    const __m256d twoHundred = _mm256_set1_pd(200.0), threeQuarters = _mm256_set1_pd(0.75);
    const __m256d middle = _mm256_set1_pd(127.0), half = _mm256_set1_pd(0.5), base = _mm256_set1_pd(255.0);
    const __m256d pulses = _mm256_set1_pd(static_cast<double>(pulse));
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        // The 24 coordinates of eight dots as 32-bit lanes, x y z x y z ..., in three vectors; each axis
        // picks its eight from the three with one permute each and two blends.
        const auto widened = [&](int part) {
            return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(dots + 6 * i + 16 * part)));
        };
        const __m256i first = widened(0), second = widened(1), third = widened(2);
        const __m256i X = mul(
            _mm256_sub_epi32(
                Axis<0b00111000, 0b11000000>(first, second, third, _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5)), centre),
            k);
        const __m256i Y = mul(
            _mm256_sub_epi32(
                Axis<0b00011000, 0b11100000>(first, second, third, _mm256_setr_epi32(1, 4, 7, 2, 5, 0, 3, 6)), centre),
            k);
        const __m256i Z = mul(
            _mm256_sub_epi32(
                Axis<0b00011100, 0b11100000>(first, second, third, _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7)), centre),
            k);
        __m256i Z1, Y1, X2, Z2, W, V;
        turned(Z, Y, 0, Z1, Y1);
        turned(X, Z1, 2, X2, Z2);
        turned(Z2, Y1, 4, W, V);
        // The quotient by 200 of an integer below 2^53 truncates exactly in double precision.
        const __m256i P = truncated(_mm256_div_pd(low(X2), twoHundred), _mm256_div_pd(high(X2), twoHundred));
        const __m256i S = truncated(_mm256_add_pd(_mm256_mul_pd(low(P), threeQuarters), middle),
                                    _mm256_add_pd(_mm256_mul_pd(high(P), threeQuarters), middle));
        const __m256i centreX = _mm256_set1_epi32(160), centreY = _mm256_set1_epi32(120);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(x0 + i),
                            _mm256_add_epi32(_mm256_srai_epi32(mul(S, V), 16), centreX));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(y0 + i),
                            _mm256_add_epi32(_mm256_srai_epi32(mul(S, W), 16), centreY));
        const __m256d rLo = _mm256_loadu_pd(random + i), rHi = _mm256_loadu_pd(random + i + 4);
        const __m256i L = truncated(_mm256_add_pd(_mm256_mul_pd(_mm256_add_pd(rLo, half), pulses), base),
                                    _mm256_add_pd(_mm256_mul_pd(_mm256_add_pd(rHi, half), pulses), base));
        const __m256i LS = mul(L, S);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(x1 + i),
                            _mm256_add_epi32(_mm256_srai_epi32(mul(LS, V), 24), centreX));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(y1 + i),
                            _mm256_add_epi32(_mm256_srai_epi32(mul(LS, W), 24), centreY));
    }
    reference::ProjectDots(dots + 6 * i, count - i, turns, pulse, random + i, x0 + i, y0 + i, x1 + i, y1 + i);
}

constinit const KernelTable kernels{KernelSet::AVX2,    ClearPlane,
                                    BlendPlanesWith<V>, BlurPlaneWith<V, BlurSteps>,
                                    ExpandPlaneWith<V>, AddRowsSaturatedWith<V>,
                                    LightPlane,         ProjectDots,
                                    SumPoleFields,      scalar::DrawFadingLine};

}  // namespace avx2
