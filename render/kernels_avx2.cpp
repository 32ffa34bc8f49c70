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

struct BlurSteps {
  static __m256i Apart(const std::uint8_t* at) { return V::Pack(V::Eighth(NeighbourSum<V>(at, V::Load(at - 1)))); }

  // In place, the left neighbour of each group's first byte (bytes 0, 8, 16 and 24) is the blurred last
  // byte of the group before; every other left neighbour is an old byte. Those last bytes (7, 15, 23, 31)
  // have old left neighbours, so a first pass over old neighbours gets them right, and a second pass
  // swaps them in as the left neighbours of the first bytes. `previousHi` carries byte 31 of the step before.
  static __m256i InPlace(const std::uint8_t* at, __m256i& previousHi) {
    const __m256i old = V::Load(at);
    // Bytes k-1 for k = 1..31, and 0 for byte 0: its left neighbour comes from `previousHi` alone.
    const __m256i oldLeft = _mm256_alignr_epi8(old, _mm256_permute2x128_si256(old, old, 0x08), 15);
    const Wide sum = NeighbourSum<V>(at, oldLeft);
    const __m256i firstLo = _mm256_srli_epi16(sum.lo, 3);
    const __m256i firstHi = _mm256_srli_epi16(sum.hi, 3);
    // Lane 0 of each half: the old left neighbours of bytes 0 and 16 (lo), 8 and 24 (hi), as 16 bits.
    const __m256i lane0 = _mm256_set_epi64x(0, 0xFF, 0, 0xFF);
    const __m256i oldLeftLo = _mm256_and_si256(oldLeft, lane0);
    const __m256i oldLeftHi = _mm256_and_si256(_mm256_srli_si256(oldLeft, 8), lane0);
    // Bytes 0 and 16 take bytes 31 of the step before and 15 of this one; bytes 8 and 24 take 7 and 23.
    const __m256i blurredLeftLo = _mm256_srli_si256(_mm256_permute2x128_si256(previousHi, firstHi, 0x21), 14);
    const __m256i blurredLeftHi = _mm256_srli_si256(firstLo, 14);
    const __m256i sumLo = _mm256_add_epi16(_mm256_sub_epi16(sum.lo, oldLeftLo), blurredLeftLo);
    const __m256i sumHi = _mm256_add_epi16(_mm256_sub_epi16(sum.hi, oldLeftHi), blurredLeftHi);
    previousHi = firstHi;
    return _mm256_packus_epi16(_mm256_srli_epi16(sumLo, 3), _mm256_srli_epi16(sumHi, 3));
  }
};

// ---- Expand ----

// A gather is slower here than eight scalar look-ups: the palette reads are what limit the speed, so
// the plane bytes arrive eight at a time in a general register and the entries go straight into vector lanes.
__m128i FourEntries(const std::uint32_t* palette, std::uint64_t indices) {
  __m128i v = _mm_cvtsi32_si128(static_cast<int>(palette[indices & 0xFF]));
  v = _mm_insert_epi32(v, static_cast<int>(palette[(indices >> 8) & 0xFF]), 1);
  v = _mm_insert_epi32(v, static_cast<int>(palette[(indices >> 16) & 0xFF]), 2);
  return _mm_insert_epi32(v, static_cast<int>(palette[(indices >> 24) & 0xFF]), 3);
}

// ---- Relief lighting ----

// (a - b) >> 2 for 16 bytes in 16-bit lanes, rounding down like the plain shift of a negative int.
__m256i QuarterSlope(const std::uint8_t* a, const std::uint8_t* b) {
  const __m256i wideA = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)));
  const __m256i wideB = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b)));
  return _mm256_srai_epi16(_mm256_sub_epi16(wideA, wideB), 2);
}

// ---- Pole fields ----

// Each lane holds dx in its low and dy in its high 16 bits, so one multiply-add gives dx*dx + dy*dy;
// with both at most 32767 in size the sum stays below 2^31.
__m256i HalfSquaredDistance(__m256i dx, __m256i dy) {
  const __m256i pairs =
      _mm256_or_si256(_mm256_and_si256(dx, _mm256_set1_epi32(0xFFFF)), _mm256_slli_epi32(dy, 16));
  return _mm256_srli_epi32(_mm256_madd_epi16(pairs, pairs), 1);
}

// d * 65536 / q for eight lanes, truncated toward zero. A double holds the numerator (below 2^31) and
// the divisor exactly, and a quotient of integers below 2^53 never rounds across an integer, so
// truncating the double quotient gives the integer one. A q of 0 divides by 1 instead; the caller
// drops those lanes.
__m256i Quotients(__m256i d, __m256d qLo, __m256d qHi) {
  const __m256d scale = _mm256_set1_pd(65536.0);
  const __m256d dLo = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(d)), scale);
  const __m256d dHi = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(d, 1)), scale);
  return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm256_cvttpd_epi32(_mm256_div_pd(dLo, qLo))),
                                 _mm256_cvttpd_epi32(_mm256_div_pd(dHi, qHi)), 1);
}

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

void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow,
                 int endRow) {
  BlendPlanesWith<V>(dst, src, dstWeight, srcWeight, firstRow, endRow);
}

void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow) {
  BlurPlaneWith<V, BlurSteps>(dst, src, firstRow, endRow);
}

void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane) {
  for (int r = 0; r < planeHeight; ++r) {
    std::uint8_t* row = static_cast<std::uint8_t*>(pixels) + r * pitch;
    const std::uint8_t* source = plane + planeWidth * r;
    for (int c = 0; c < planeWidth; c += 8) {
      std::uint64_t indices;
      std::memcpy(&indices, source + c, sizeof indices);
      // Eight equal bytes, as in the dark parts of most planes, need only one look-up.
      const bool even = indices == (indices & 0xFF) * 0x0101010101010101u;
      const __m256i entries =
          even ? _mm256_set1_epi32(static_cast<int>(palette[indices & 0xFF]))
               : _mm256_inserti128_si256(_mm256_castsi128_si256(FourEntries(palette, indices)),
                                         FourEntries(palette, indices >> 32), 1);
      V::Store(row + 4 * c, entries);
    }
  }
}

void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow) {
  AddRowsSaturatedWith<V>(dst, dstPitch, src, srcPitch, firstRow, endRow);
}

// Sixteen pixels per step: the map positions in 16-bit lanes (with |lightX|, |lightY| <= 16384 they
// cannot wrap), then sixteen scalar look-ups (a gather is slower here), and the old bytes kept where a
// position is off the map. v * 256 + u stays below 65536 in an unsigned lane, so even the dropped
// look-ups stay inside the map.
void LightPlane(const std::uint8_t* heights, const std::uint8_t* lightMap, int lightX, int lightY,
                std::uint8_t* lit) {
  constexpr int lanes = 16;
  const __m256i halfSteps = _mm256_set_epi16(7, 7, 6, 6, 5, 5, 4, 4, 3, 3, 2, 2, 1, 1, 0, 0);  // x >> 1 within a step
  const __m256i highByte = _mm256_set1_epi16(static_cast<short>(0xFF00));
  for (int y = 1; y < planeHeight - 1; ++y) {
    const std::uint8_t* h = heights + y * planeWidth;
    std::uint8_t* row = lit + (y - 1) * planeWidth;
    const __m256i rowOffset = _mm256_set1_epi16(static_cast<short>((y >> 1) - lightY + 64));
    for (int x = 0; x < planeWidth; x += lanes) {
      const __m256i columnOffset =
          _mm256_add_epi16(_mm256_set1_epi16(static_cast<short>((x >> 1) - lightX + 64)), halfSteps);
      const __m256i u = _mm256_add_epi16(QuarterSlope(h + x - 1, h + x + 1), columnOffset);
      const __m256i v = _mm256_add_epi16(QuarterSlope(h + x - planeWidth, h + x + planeWidth), rowOffset);
      // A lane outside 0..255 has bits above the low byte set, a negative one included.
      const __m256i onMap =
          _mm256_cmpeq_epi16(_mm256_and_si256(_mm256_or_si256(u, v), highByte), _mm256_setzero_si256());
      alignas(32) std::uint16_t positions[lanes];
      _mm256_store_si256(reinterpret_cast<__m256i*>(positions), _mm256_or_si256(_mm256_slli_epi16(v, 8), u));
      alignas(16) std::uint8_t looked[lanes];
      for (int k = 0; k < lanes; ++k) looked[k] = lightMap[positions[k]];
      // 0xFF per byte to take the look-up; the pack works per 128-bit half, so the halves are joined after.
      const __m256i packed = _mm256_packs_epi16(onMap, onMap);
      const __m128i keep = _mm_unpacklo_epi64(_mm256_castsi256_si128(packed), _mm256_extracti128_si256(packed, 1));
      const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
      const __m128i fresh = _mm_load_si128(reinterpret_cast<const __m128i*>(looked));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), _mm_blendv_epi8(old, fresh, keep));
    }
  }
}

void SumPoleFields(const std::int32_t* x, const std::int32_t* y, int count, const std::int32_t* poleX,
                   const std::int32_t* poleY, int poleCount, std::int32_t* sumX, std::int32_t* sumY) {
  constexpr int lanes = 8;
  const __m256d one = _mm256_set1_pd(1.0);
  int i = 0;
  for (; i + lanes <= count; i += lanes) {
    const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + i));
    const __m256i py = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + i));
    __m256i sx = _mm256_setzero_si256();
    __m256i sy = _mm256_setzero_si256();
    for (int k = 0; k < poleCount; ++k) {
      const __m256i dx = _mm256_sub_epi32(px, _mm256_set1_epi32(poleX[k]));
      const __m256i dy = _mm256_sub_epi32(py, _mm256_set1_epi32(poleY[k]));
      const __m256i q = HalfSquaredDistance(dx, dy);
      const __m256i none = _mm256_cmpeq_epi32(q, _mm256_setzero_si256());
      const __m256d qLo = _mm256_max_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(q)), one);
      const __m256d qHi = _mm256_max_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(q, 1)), one);
      sx = _mm256_add_epi32(sx, _mm256_andnot_si256(none, Quotients(dx, qLo, qHi)));
      sy = _mm256_add_epi32(sy, _mm256_andnot_si256(none, Quotients(dy, qLo, qHi)));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(sumX + i), sx);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(sumY + i), sy);
  }
  reference::SumPoleFields(x + i, y + i, count - i, poleX, poleY, poleCount, sumX + i, sumY + i);
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
    const __m256i X = mul(_mm256_sub_epi32(Axis<0b00111000, 0b11000000>(first, second, third,
                                                                        _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5)),
                                           centre),
                          k);
    const __m256i Y = mul(_mm256_sub_epi32(Axis<0b00011000, 0b11100000>(first, second, third,
                                                                        _mm256_setr_epi32(1, 4, 7, 2, 5, 0, 3, 6)),
                                           centre),
                          k);
    const __m256i Z = mul(_mm256_sub_epi32(Axis<0b00011100, 0b11100000>(first, second, third,
                                                                        _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7)),
                                           centre),
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
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(x0 + i), _mm256_add_epi32(_mm256_srai_epi32(mul(S, V), 16), centreX));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(y0 + i), _mm256_add_epi32(_mm256_srai_epi32(mul(S, W), 16), centreY));
    const __m256d rLo = _mm256_loadu_pd(random + i), rHi = _mm256_loadu_pd(random + i + 4);
    const __m256i L = truncated(_mm256_add_pd(_mm256_mul_pd(_mm256_add_pd(rLo, half), pulses), base),
                                _mm256_add_pd(_mm256_mul_pd(_mm256_add_pd(rHi, half), pulses), base));
    const __m256i LS = mul(L, S);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(x1 + i), _mm256_add_epi32(_mm256_srai_epi32(mul(LS, V), 24), centreX));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(y1 + i), _mm256_add_epi32(_mm256_srai_epi32(mul(LS, W), 24), centreY));
  }
  reference::ProjectDots(dots + 6 * i, count - i, turns, pulse, random + i, x0 + i, y0 + i, x1 + i, y1 + i);
}

constinit const KernelTable kernels{KernelSet::AVX2, ClearPlane, BlendPlanes, BlurPlane, ExpandPlane,
                                    AddRowsSaturated, LightPlane, ProjectDots, SumPoleFields, scalar::DrawFadingLine};

}  // namespace avx2
