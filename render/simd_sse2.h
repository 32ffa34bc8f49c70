// The 16-byte vectors of the SSE2 kernels: loads, stores, bytes widened to 16-bit lanes and the steps
// of each kernel, for the loops of render/simd_plane_loops.h. Included only by kernels_sse2.cpp.
#pragma once

#include <emmintrin.h>
#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

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

    // Palette expansion: eight entries are two vectors.
    struct Entries {
        Type first, second;
    };
    static Entries EightSame(std::uint32_t entry) {
        const Type all = _mm_set1_epi32(static_cast<int>(entry));
        return {all, all};
    }
    static Entries EightEntries(const std::uint32_t* palette, std::uint64_t indices) {
        return {FourEntries(palette, indices), FourEntries(palette, indices >> 32)};
    }
    static void StoreEntries(std::uint8_t* p, Entries e) {
        Store(p, e.first);
        Store(p + 16, e.second);
    }

    // Relief lighting, in 16-bit lanes: x >> 1 within a step, (a - b) >> 2 of eight bytes rounding down
    // like the plain shift of a negative int, and the step's eight looked-up bytes where `onMap`.
    static Type Add16(Type a, Type b) { return _mm_add_epi16(a, b); }
    static Type And(Type a, Type b) { return _mm_and_si128(a, b); }
    static Type Or(Type a, Type b) { return _mm_or_si128(a, b); }
    static Type IsZero16(Type v) { return _mm_cmpeq_epi16(v, Zero()); }
    static Type HighByte16(Type v) { return _mm_slli_epi16(v, 8); }
    static Type HalfSteps() { return _mm_set_epi16(3, 3, 2, 2, 1, 1, 0, 0); }
    static Type QuarterSlope(const std::uint8_t* a, const std::uint8_t* b) {
        return _mm_srai_epi16(_mm_sub_epi16(LoadEight(a), LoadEight(b)), 2);
    }
    static void KeepOnMap(std::uint8_t* row, const std::uint8_t* looked, Type onMap) {
        const Type keep = _mm_packs_epi16(onMap, onMap);  // 0xFF per byte to take the look-up
        const Type old = _mm_loadl_epi64(reinterpret_cast<const Type*>(row));
        const Type fresh = _mm_loadl_epi64(reinterpret_cast<const Type*>(looked));
        _mm_storel_epi64(reinterpret_cast<Type*>(row),
                         _mm_or_si128(_mm_and_si128(keep, fresh), _mm_andnot_si128(keep, old)));
    }

    // Pole fields, in 32-bit lanes and two halves of doubles.
    struct Divisors {
        __m128d lo, hi;
    };
    static Type LoadInts(const std::int32_t* p) { return _mm_loadu_si128(reinterpret_cast<const Type*>(p)); }
    static void StoreInts(std::int32_t* p, Type v) { _mm_storeu_si128(reinterpret_cast<Type*>(p), v); }
    static Type SplatInt(std::int32_t value) { return _mm_set1_epi32(value); }
    static Type AddInts(Type a, Type b) { return _mm_add_epi32(a, b); }
    static Type SubInts(Type a, Type b) { return _mm_sub_epi32(a, b); }
    static Type IsZeroInt(Type v) { return _mm_cmpeq_epi32(v, Zero()); }
    static Type AndNot(Type mask, Type v) { return _mm_andnot_si128(mask, v); }
    static Type HalfSquaredDistance(Type dx, Type dy) {
        const Type pairs = _mm_or_si128(_mm_and_si128(dx, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(dy, 16));
        return _mm_srli_epi32(_mm_madd_epi16(pairs, pairs), 1);
    }
    static Divisors DivisorsOf(Type q) {
        const __m128d one = _mm_set1_pd(1.0);
        return {_mm_max_pd(_mm_cvtepi32_pd(q), one), _mm_max_pd(_mm_cvtepi32_pd(_mm_srli_si128(q, 8)), one)};
    }
    static Type Quotients(Type d, Divisors q) {
        const __m128d scale = _mm_set1_pd(65536.0);
        const Type lo = Truncate(_mm_div_pd(_mm_mul_pd(_mm_cvtepi32_pd(d), scale), q.lo));
        const Type hi = Truncate(_mm_div_pd(_mm_mul_pd(_mm_cvtepi32_pd(_mm_srli_si128(d, 8)), scale), q.hi));
        return _mm_unpacklo_epi64(lo, hi);
    }

private:
    // Two doubles to ints, toward zero, in the low lanes. Emscripten's _mm_cvttpd_epi32 converts lane
    // by lane through lrint; WebAssembly's own conversion saturates where x86's gives 0x80000000, which
    // is the same for the quotients here: |d| < 2^15 and q >= 1 keep them within an int.
    static Type Truncate(__m128d v) {
#ifdef __wasm_simd128__
        return static_cast<Type>(wasm_i32x4_trunc_sat_f64x2_zero(static_cast<v128_t>(v)));
#else
        return _mm_cvttpd_epi32(v);
#endif
    }
    static Type FourEntries(const std::uint32_t* palette, std::uint64_t indices) {
        const auto entry = [&](int k) {
            return _mm_cvtsi32_si128(static_cast<int>(palette[(indices >> 8 * k) & 0xFF]));
        };
        return _mm_unpacklo_epi64(_mm_unpacklo_epi32(entry(0), entry(1)), _mm_unpacklo_epi32(entry(2), entry(3)));
    }
    // Eight bytes in 16-bit lanes.
    static Type LoadEight(const std::uint8_t* p) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const Type*>(p)), Zero());
    }
};

}  // namespace

}  // namespace sse2
