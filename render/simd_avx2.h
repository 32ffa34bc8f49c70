// The 32-byte vectors of the AVX2 kernels: loads, stores and bytes widened to 16-bit lanes, for the
// loops of render/simd_plane_loops.h. Included only by kernels_avx2.cpp.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace avx2 {

// Internal to the one file that includes it, like everything a kernel file compiles for its own
// instructions: an inline function shared by two such files could reach the other set's callers.
namespace {

struct Vectors {
  using Type = __m256i;
  static constexpr int bytes = 32;

  // 32 bytes as 16-bit lanes, split within each 128-bit half as the unpack instructions do: lo holds
  // bytes 0-7 and 16-23, hi holds bytes 8-15 and 24-31. Packing them back restores the byte order.
  struct Wide {
    Type lo, hi;
  };

  static Type Load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const Type*>(p)); }
  static void Store(std::uint8_t* p, Type v) { _mm256_storeu_si256(reinterpret_cast<Type*>(p), v); }
  static void StoreAligned(std::uint8_t* p, Type v) { _mm256_store_si256(reinterpret_cast<Type*>(p), v); }
  static Type Zero() { return _mm256_setzero_si256(); }
  static Type Splat16(int value) { return _mm256_set1_epi16(static_cast<short>(value)); }
  static Type AddSaturated(Type a, Type b) { return _mm256_adds_epu8(a, b); }

  static Wide Add(Wide a, Wide b) { return {_mm256_add_epi16(a.lo, b.lo), _mm256_add_epi16(a.hi, b.hi)}; }
  // d * w >> 8 per byte, as 16-bit lanes: the byte placed in the high half of a lane is d << 8.
  static Wide Scale(Type values, Type weight) {
    return {_mm256_mulhi_epu16(_mm256_unpacklo_epi8(Zero(), values), weight),
            _mm256_mulhi_epu16(_mm256_unpackhi_epi8(Zero(), values), weight)};
  }
  // a + b per byte as 16-bit lanes: interleaving the two and multiplying each byte pair by (1, 1) sums
  // them in one step.
  static Wide PairSum(Type a, Type b) {
    const Type ones = _mm256_set1_epi8(1);
    return {_mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), ones),
            _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), ones)};
  }
  // Back to bytes with unsigned saturation, in the order Scale and PairSum took them.
  static Type Pack(Wide w) { return _mm256_packus_epi16(w.lo, w.hi); }
  static Wide Eighth(Wide w) { return {_mm256_srli_epi16(w.lo, 3), _mm256_srli_epi16(w.hi, 3)}; }
};

}  // namespace

}  // namespace avx2
