// The whole-plane kernels with SSE2, 16 bytes per step: bytes widen to 16-bit lanes for the products
// and sums and pack back with unsigned saturation. On the web the same file runs over WebAssembly SIMD.
#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "render/kernel_sets.h"
#include "render/kernels.h"
#include "render/simd_plane_loops.h"
#include "render/simd_sse2.h"

namespace sse2 {

namespace {

using V = Vectors;
using Wide = V::Wide;

// ---- Blur ----

// The seven neighbours of 16 consecutive positions other than the one just before each: in place the
// three above are already blurred and the four after still hold their old values.
Wide NeighbourSumWithoutLeft(const std::uint8_t* at) {
  Wide sum = V::Add(V::Widen(V::Load(at - 321)), V::Widen(V::Load(at - 320)));
  sum = V::Add(sum, V::Widen(V::Load(at - 319)));
  sum = V::Add(sum, V::Widen(V::Load(at + 1)));
  sum = V::Add(sum, V::Widen(V::Load(at + 319)));
  sum = V::Add(sum, V::Widen(V::Load(at + 320)));
  return V::Add(sum, V::Widen(V::Load(at + 321)));
}

struct BlurSteps {
  // Into a different plane every neighbour is a source byte.
  static __m128i Apart(const std::uint8_t* at) {
    return V::Pack(V::Eighth(V::Add(NeighbourSumWithoutLeft(at), V::Widen(V::Load(at - 1)))));
  }

  // In place, the left neighbour of each group's first byte (bytes 0 and 8) is the blurred last byte of
  // the group before; every other left neighbour is an old byte. Those last bytes (7 and 15) have old
  // left neighbours, so a first pass over old neighbours gets them right, and a second pass swaps them in
  // as the left neighbours of the first bytes. `previousHi` carries byte 15 of the step before; the steps
  // do not wait for one another, as byte 15 never depends on it.
  static __m128i InPlace(const std::uint8_t* at, __m128i& previousHi) {
    const __m128i lane0 = _mm_set_epi16(0, 0, 0, 0, 0, 0, 0, -1);
    const Wide partial = NeighbourSumWithoutLeft(at);
    // Bytes k-1 for k = 1..15, and 0 for byte 0: its left neighbour comes from `previousHi` alone.
    const Wide oldLeft = V::Widen(_mm_slli_si128(V::Load(at), 1));
    const __m128i firstLo = _mm_srli_epi16(_mm_add_epi16(partial.lo, oldLeft.lo), 3);
    const __m128i firstHi = _mm_srli_epi16(_mm_add_epi16(partial.hi, oldLeft.hi), 3);
    const __m128i meanLo = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(partial.lo, oldLeft.lo),
                                                        _mm_srli_si128(previousHi, 14)), 3);
    const __m128i leftHi = _mm_or_si128(_mm_andnot_si128(lane0, oldLeft.hi), _mm_srli_si128(firstLo, 14));
    const __m128i meanHi = _mm_srli_epi16(_mm_add_epi16(partial.hi, leftHi), 3);
    previousHi = firstHi;
    return _mm_packus_epi16(meanLo, meanHi);
  }
};

// ---- Expand ----

// The palette reads are what limit the speed: the plane bytes arrive eight at a time in a general
// register and the entries are paired up in vector registers for 16-byte stores.
__m128i FourEntries(const std::uint32_t* palette, std::uint64_t indices) {
  const auto entry = [&](int k) { return _mm_cvtsi32_si128(static_cast<int>(palette[(indices >> 8 * k) & 0xFF])); };
  return _mm_unpacklo_epi64(_mm_unpacklo_epi32(entry(0), entry(1)), _mm_unpacklo_epi32(entry(2), entry(3)));
}

// ---- Relief lighting ----

// Eight bytes widened to 16-bit lanes.
__m128i LoadWide(const std::uint8_t* p) {
  return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}

// (a - b) >> 2 per lane, rounding down like the plain shift of a negative int.
__m128i QuarterSlope(const std::uint8_t* a, const std::uint8_t* b) {
  return _mm_srai_epi16(_mm_sub_epi16(LoadWide(a), LoadWide(b)), 2);
}

// ---- Pole fields ----

// Each lane holds dx in its low and dy in its high 16 bits, so one multiply-add gives dx*dx + dy*dy;
// with both at most 32767 in size the sum stays below 2^31.
__m128i HalfSquaredDistance(__m128i dx, __m128i dy) {
  const __m128i pairs = _mm_or_si128(_mm_and_si128(dx, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(dy, 16));
  return _mm_srli_epi32(_mm_madd_epi16(pairs, pairs), 1);
}

// d * 65536 / q for four lanes, truncated toward zero. A double holds the numerator (below 2^31) and
// the divisor exactly, and a quotient of integers below 2^53 never rounds across an integer, so
// truncating the double quotient gives the integer one. A q of 0 divides by 1 instead; the caller
// drops those lanes.
__m128i Quotients(__m128i d, __m128d qLo, __m128d qHi) {
  const __m128d scale = _mm_set1_pd(65536.0);
  const __m128i lo = _mm_cvttpd_epi32(_mm_div_pd(_mm_mul_pd(_mm_cvtepi32_pd(d), scale), qLo));
  const __m128i hi = _mm_cvttpd_epi32(_mm_div_pd(_mm_mul_pd(_mm_cvtepi32_pd(_mm_srli_si128(d, 8)), scale), qHi));
  return _mm_unpacklo_epi64(lo, hi);
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
      if (indices == (indices & 0xFF) * 0x0101010101010101u) {
        const __m128i entry = _mm_set1_epi32(static_cast<int>(palette[indices & 0xFF]));
        V::Store(row + 4 * c, entry);
        V::Store(row + 4 * c + 16, entry);
        continue;
      }
      V::Store(row + 4 * c, FourEntries(palette, indices));
      V::Store(row + 4 * c + 16, FourEntries(palette, indices >> 32));
    }
  }
}

void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow) {
  AddRowsSaturatedWith<V>(dst, dstPitch, src, srcPitch, firstRow, endRow);
}

// Eight pixels per step: the map positions in 16-bit lanes (with |lightX|, |lightY| <= 16384 they
// cannot wrap), then eight scalar look-ups, and the old bytes kept where a position is off the map.
// v * 256 + u stays below 65536 in an unsigned lane, so even the dropped look-ups stay inside the map.
void LightPlane(const std::uint8_t* heights, const std::uint8_t* lightMap, int lightX, int lightY,
                std::uint8_t* lit) {
  constexpr int lanes = 8;
  const __m128i halfSteps = _mm_set_epi16(3, 3, 2, 2, 1, 1, 0, 0);  // x >> 1 within a step
  const __m128i highByte = _mm_set1_epi16(static_cast<short>(0xFF00));
  for (int y = 1; y < planeHeight - 1; ++y) {
    const std::uint8_t* h = heights + y * planeWidth;
    std::uint8_t* row = lit + (y - 1) * planeWidth;
    const __m128i rowOffset = _mm_set1_epi16(static_cast<short>((y >> 1) - lightY + 64));
    for (int x = 0; x < planeWidth; x += lanes) {
      const __m128i columnOffset = _mm_add_epi16(_mm_set1_epi16(static_cast<short>((x >> 1) - lightX + 64)), halfSteps);
      const __m128i u = _mm_add_epi16(QuarterSlope(h + x - 1, h + x + 1), columnOffset);
      const __m128i v = _mm_add_epi16(QuarterSlope(h + x - planeWidth, h + x + planeWidth), rowOffset);
      // A lane outside 0..255 has bits above the low byte set, a negative one included.
      const __m128i onMap = _mm_cmpeq_epi16(_mm_and_si128(_mm_or_si128(u, v), highByte), _mm_setzero_si128());
      alignas(16) std::uint16_t positions[lanes];
      _mm_store_si128(reinterpret_cast<__m128i*>(positions), _mm_or_si128(_mm_slli_epi16(v, 8), u));
      std::uint64_t looked = 0;
      for (int k = 0; k < lanes; ++k) looked |= std::uint64_t{lightMap[positions[k]]} << 8 * k;
      const __m128i keep = _mm_packs_epi16(onMap, onMap);  // 0xFF per byte to take the look-up
      const __m128i old = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + x));
      const __m128i fresh = _mm_set_epi64x(0, static_cast<long long>(looked));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(row + x),
                       _mm_or_si128(_mm_and_si128(keep, fresh), _mm_andnot_si128(keep, old)));
    }
  }
}

void SumPoleFields(const std::int32_t* x, const std::int32_t* y, int count, const std::int32_t* poleX,
                   const std::int32_t* poleY, int poleCount, std::int32_t* sumX, std::int32_t* sumY) {
  constexpr int lanes = 4;
  const __m128d one = _mm_set1_pd(1.0);
  int i = 0;
  for (; i + lanes <= count; i += lanes) {
    const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + i));
    const __m128i py = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + i));
    __m128i sx = _mm_setzero_si128();
    __m128i sy = _mm_setzero_si128();
    for (int k = 0; k < poleCount; ++k) {
      const __m128i dx = _mm_sub_epi32(px, _mm_set1_epi32(poleX[k]));
      const __m128i dy = _mm_sub_epi32(py, _mm_set1_epi32(poleY[k]));
      const __m128i q = HalfSquaredDistance(dx, dy);
      const __m128i none = _mm_cmpeq_epi32(q, _mm_setzero_si128());
      const __m128d qLo = _mm_max_pd(_mm_cvtepi32_pd(q), one);
      const __m128d qHi = _mm_max_pd(_mm_cvtepi32_pd(_mm_srli_si128(q, 8)), one);
      sx = _mm_add_epi32(sx, _mm_andnot_si128(none, Quotients(dx, qLo, qHi)));
      sy = _mm_add_epi32(sy, _mm_andnot_si128(none, Quotients(dy, qLo, qHi)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sumX + i), sx);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sumY + i), sy);
  }
  reference::SumPoleFields(x + i, y + i, count - i, poleX, poleY, poleCount, sumX + i, sumY + i);
}

constinit const KernelTable kernels{KernelSet::SSE2, ClearPlane, BlendPlanes, BlurPlane, ExpandPlane,
                                    AddRowsSaturated, LightPlane, reference::ProjectDots, SumPoleFields,
                                    scalar::DrawFadingLine};

}  // namespace sse2
