// The 32-byte vectors of the AVX2 kernels: loads, stores, bytes widened to 16-bit lanes and the steps
// of each kernel, for the loops of render/simd_plane_loops.h. Included only by kernels_avx2.cpp.
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

    // The in-place blur: the bytes moved up by one (0 into byte 0), lane 0 of each 128-bit lane, a byte
    // shift within the 128-bit lanes, and the 128-bit lane before each (from `previous` for the first).
    static Type Sub16(Type a, Type b) { return _mm256_sub_epi16(a, b); }
    static Type OldLeft(Type old) { return _mm256_alignr_epi8(old, _mm256_permute2x128_si256(old, old, 0x08), 15); }
    static Type FirstWordOfEachLane() { return _mm256_set_epi64x(0, 0xFF, 0, 0xFF); }
    template <int bytes>
    static Type ShiftRightInLanes(Type v) {
        return _mm256_srli_si256(v, bytes);
    }
    static Type LaneBefore(Type current, Type previous) { return _mm256_permute2x128_si256(previous, current, 0x21); }

    // Palette expansion: eight entries are one vector. A gather is slower here than eight scalar
    // look-ups, so the entries go straight into vector lanes.
    using Entries = Type;
    static Entries EightSame(std::uint32_t entry) { return _mm256_set1_epi32(static_cast<int>(entry)); }
    static Entries EightEntries(const std::uint32_t* palette, std::uint64_t indices) {
        return _mm256_inserti128_si256(_mm256_castsi128_si256(FourEntries(palette, indices)),
                                       FourEntries(palette, indices >> 32), 1);
    }
    static void StoreEntries(std::uint8_t* p, Entries e) { Store(p, e); }

    // Relief lighting, in 16-bit lanes: x >> 1 within a step, (a - b) >> 2 of 16 bytes rounding down
    // like the plain shift of a negative int, and the step's 16 looked-up bytes where `onMap`.
    static Type Add16(Type a, Type b) { return _mm256_add_epi16(a, b); }
    static Type And(Type a, Type b) { return _mm256_and_si256(a, b); }
    static Type Or(Type a, Type b) { return _mm256_or_si256(a, b); }
    static Type IsZero16(Type v) { return _mm256_cmpeq_epi16(v, Zero()); }
    static Type HighByte16(Type v) { return _mm256_slli_epi16(v, 8); }
    static Type HalfSteps() { return _mm256_set_epi16(7, 7, 6, 6, 5, 5, 4, 4, 3, 3, 2, 2, 1, 1, 0, 0); }
    static Type QuarterSlope(const std::uint8_t* a, const std::uint8_t* b) {
        const Type wideA = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)));
        const Type wideB = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b)));
        return _mm256_srai_epi16(_mm256_sub_epi16(wideA, wideB), 2);
    }
    static void KeepOnMap(std::uint8_t* row, const std::uint8_t* looked, Type onMap) {
        // 0xFF per byte to take the look-up; the pack works per 128-bit half, so the halves are joined after.
        const Type packed = _mm256_packs_epi16(onMap, onMap);
        const __m128i keep = _mm_unpacklo_epi64(_mm256_castsi256_si128(packed), _mm256_extracti128_si256(packed, 1));
        const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
        const __m128i fresh = _mm_load_si128(reinterpret_cast<const __m128i*>(looked));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row), _mm_blendv_epi8(old, fresh, keep));
    }

    // Pole fields, in 32-bit lanes and two halves of doubles.
    struct Divisors {
        __m256d lo, hi;
    };
    static Type LoadInts(const std::int32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const Type*>(p)); }
    static void StoreInts(std::int32_t* p, Type v) { _mm256_storeu_si256(reinterpret_cast<Type*>(p), v); }
    static Type SplatInt(std::int32_t value) { return _mm256_set1_epi32(value); }
    static Type AddInts(Type a, Type b) { return _mm256_add_epi32(a, b); }
    static Type SubInts(Type a, Type b) { return _mm256_sub_epi32(a, b); }
    static Type IsZeroInt(Type v) { return _mm256_cmpeq_epi32(v, Zero()); }
    static Type AndNot(Type mask, Type v) { return _mm256_andnot_si256(mask, v); }
    static Type HalfSquaredDistance(Type dx, Type dy) {
        const Type pairs = _mm256_or_si256(_mm256_and_si256(dx, _mm256_set1_epi32(0xFFFF)), _mm256_slli_epi32(dy, 16));
        return _mm256_srli_epi32(_mm256_madd_epi16(pairs, pairs), 1);
    }
    static Divisors DivisorsOf(Type q) {
        const __m256d one = _mm256_set1_pd(1.0);
        return {_mm256_max_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(q)), one),
                _mm256_max_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(q, 1)), one)};
    }
    static Type Quotients(Type d, Divisors q) {
        const __m256d scale = _mm256_set1_pd(65536.0);
        const __m256d dLo = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(d)), scale);
        const __m256d dHi = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(d, 1)), scale);
        return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm256_cvttpd_epi32(_mm256_div_pd(dLo, q.lo))),
                                       _mm256_cvttpd_epi32(_mm256_div_pd(dHi, q.hi)), 1);
    }

private:
    static __m128i FourEntries(const std::uint32_t* palette, std::uint64_t indices) {
        __m128i v = _mm_cvtsi32_si128(static_cast<int>(palette[indices & 0xFF]));
        v = _mm_insert_epi32(v, static_cast<int>(palette[(indices >> 8) & 0xFF]), 1);
        v = _mm_insert_epi32(v, static_cast<int>(palette[(indices >> 16) & 0xFF]), 2);
        return _mm_insert_epi32(v, static_cast<int>(palette[(indices >> 24) & 0xFF]), 3);
    }
};

}  // namespace

}  // namespace avx2
