// The 16-byte vectors of the SSE2 kernels: loads, stores and bytes widened to 16-bit lanes, for the
// loops of render/simd_plane_loops.h. Included only by kernels_sse2.cpp.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace sse2 {

// Internal to the one file that includes it, like everything a kernel file compiles for its own
// instructions: an inline function shared by two such files could reach the other set's callers.
namespace {

struct Vectors {
  using Type = __m128i;
  static constexpr int bytes = 16;

  // The 16 bytes as two vectors of eight 16-bit lanes: bytes 0-7 and bytes 8-15.
  struct Wide {
    Type lo, hi;
  };

  static Type Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const Type*>(p)); }
  static void Store(std::uint8_t* p, Type v) { _mm_storeu_si128(reinterpret_cast<Type*>(p), v); }
  static void StoreAligned(std::uint8_t* p, Type v) { _mm_store_si128(reinterpret_cast<Type*>(p), v); }
  static Type Zero() { return _mm_setzero_si128(); }
  static Type Splat16(int value) { return _mm_set1_epi16(static_cast<short>(value)); }
  static Type AddSaturated(Type a, Type b) { return _mm_adds_epu8(a, b); }

  static Wide Widen(Type v) { return {_mm_unpacklo_epi8(v, Zero()), _mm_unpackhi_epi8(v, Zero())}; }
  static Wide Add(Wide a, Wide b) { return {_mm_add_epi16(a.lo, b.lo), _mm_add_epi16(a.hi, b.hi)}; }
  // d * w >> 8 per byte, as 16-bit lanes: the byte placed in the high half of a lane is d << 8.
  static Wide Scale(Type values, Type weight) {
    return {_mm_mulhi_epu16(_mm_unpacklo_epi8(Zero(), values), weight),
            _mm_mulhi_epu16(_mm_unpackhi_epi8(Zero(), values), weight)};
  }
  // Back to bytes with unsigned saturation, in the order Widen and Scale took them.
  static Type Pack(Wide w) { return _mm_packus_epi16(w.lo, w.hi); }
  static Wide Eighth(Wide w) { return {_mm_srli_epi16(w.lo, 3), _mm_srli_epi16(w.hi, 3)}; }
};

}  // namespace

}  // namespace sse2
