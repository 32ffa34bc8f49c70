// The 64-byte vectors of the AVX-512 kernels: loads, stores and bytes widened to 16-bit lanes, for the
// loops of render/simd_plane_loops.h. Included only by kernels_avx512.cpp.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace avx512 {

// Internal to the one file that includes it, like everything a kernel file compiles for its own
// instructions: an inline function shared by two such files could reach the other set's callers.
namespace {

struct Vectors {
    using Type = __m512i;
    static constexpr int bytes = 64;

    // 64 bytes as 16-bit lanes, split within each 128-bit lane as the unpack instructions do; packing
    // them back restores the byte order.
    struct Wide {
        Type lo, hi;
    };

    static Type Load(const std::uint8_t* p) { return _mm512_loadu_si512(p); }
    static void Store(std::uint8_t* p, Type v) { _mm512_storeu_si512(p, v); }
    static void StoreAligned(std::uint8_t* p, Type v) { _mm512_store_si512(p, v); }
    static Type Zero() { return _mm512_setzero_si512(); }
    static Type Splat16(int value) { return _mm512_set1_epi16(static_cast<short>(value)); }
    static Type AddSaturated(Type a, Type b) { return _mm512_adds_epu8(a, b); }

    static Wide Add(Wide a, Wide b) { return {_mm512_add_epi16(a.lo, b.lo), _mm512_add_epi16(a.hi, b.hi)}; }
    // d * w >> 8 per byte, as 16-bit lanes: the byte placed in the high half of a lane is d << 8.
    static Wide Scale(Type values, Type weight) {
        return {_mm512_mulhi_epu16(_mm512_unpacklo_epi8(Zero(), values), weight),
                _mm512_mulhi_epu16(_mm512_unpackhi_epi8(Zero(), values), weight)};
    }
    // a + b per byte as 16-bit lanes: interleaved byte pairs times (1, 1) sum in one step.
    static Wide PairSum(Type a, Type b) {
        const Type ones = _mm512_set1_epi8(1);
        return {_mm512_maddubs_epi16(_mm512_unpacklo_epi8(a, b), ones),
                _mm512_maddubs_epi16(_mm512_unpackhi_epi8(a, b), ones)};
    }
    // Back to bytes with unsigned saturation, in the order Scale and PairSum took them.
    static Type Pack(Wide w) { return _mm512_packus_epi16(w.lo, w.hi); }
    static Wide Eighth(Wide w) { return {_mm512_srli_epi16(w.lo, 3), _mm512_srli_epi16(w.hi, 3)}; }

    // The in-place blur: the bytes moved up by one across the lanes (0 into byte 0), lane 0 of each
    // 128-bit lane, a byte shift within the 128-bit lanes, and the 128-bit lane before each (from
    // `previous` for the first). The masked alignr with every lane selected: the plain one starts from
    // an undefined vector, which g++ 12 reports as used uninitialised.
    static Type Add16(Type a, Type b) { return _mm512_add_epi16(a, b); }
    static Type Sub16(Type a, Type b) { return _mm512_sub_epi16(a, b); }
    static Type And(Type a, Type b) { return _mm512_and_si512(a, b); }
    static Type OldLeft(Type old) { return _mm512_alignr_epi8(old, _mm512_maskz_alignr_epi64(0xFC, old, old, 6), 15); }
    static Type FirstWordOfEachLane() { return _mm512_set_epi64(0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF); }
    template <int bytes>
    static Type ShiftRightInLanes(Type v) {
        return _mm512_bsrli_epi128(v, bytes);
    }
    static Type LaneBefore(Type current, Type previous) {
        return _mm512_maskz_alignr_epi64(0xFF, current, previous, 6);
    }
};

}  // namespace

}  // namespace avx512
