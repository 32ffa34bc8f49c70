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
        const __m128i meanLo =
            _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(partial.lo, oldLeft.lo), _mm_srli_si128(previousHi, 14)), 3);
        const __m128i leftHi = _mm_or_si128(_mm_andnot_si128(lane0, oldLeft.hi), _mm_srli_si128(firstLo, 14));
        const __m128i meanHi = _mm_srli_epi16(_mm_add_epi16(partial.hi, leftHi), 3);
        previousHi = firstHi;
        return _mm_packus_epi16(meanLo, meanHi);
    }
};

}  // namespace

constinit const KernelTable kernels{
    KernelSet::SSE2,      ClearPlaneWith<V>,       BlendPlanesWith<V>, BlurPlaneWith<V, BlurSteps>,
    ExpandPlaneWith<V>,   AddRowsSaturatedWith<V>, LightPlaneWith<V>,  reference::ProjectDots,
    SumPoleFieldsWith<V>, scalar::DrawFadingLine};

}  // namespace sse2
