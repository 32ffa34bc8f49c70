// The AVX-512 set, 64 bytes per step: palette expansion by byte permutes, blend, blur and the
// saturating row add; the other kernels of this set are the AVX2 ones. This file alone is compiled for
// AVX-512, and all it defines or instantiates is internal to it.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "render/kernel_sets.h"
#include "render/kernels.h"
#include "render/simd_avx512.h"
#include "render/simd_plane_loops.h"

namespace avx512 {

namespace {

constexpr int pixelsPerStep = 64;

// One byte of every palette entry (byte 0 blue ... byte 3 the top byte) as four 64-entry tables.
struct Channel {
    __m512i quarter[4];
};

// Each half of a quarter comes from 32 entries, 128 bytes, with one two-register byte permute: entry
// i's byte sits at 4i + byte.
Channel ChannelOf(const std::uint32_t* palette, int byte) {
    alignas(64) std::uint8_t picks[pixelsPerStep];
    for (int i = 0; i < pixelsPerStep; ++i) picks[i] = static_cast<std::uint8_t>(4 * (i % 32) + byte);
    const __m512i pick = _mm512_load_si512(picks);
    Channel channel;
    for (int q = 0; q < 4; ++q) {
        const std::uint32_t* entries = palette + 64 * q;
        const __m512i first =
            _mm512_permutex2var_epi8(_mm512_loadu_si512(entries), pick, _mm512_loadu_si512(entries + 16));
        const __m512i second =
            _mm512_permutex2var_epi8(_mm512_loadu_si512(entries + 32), pick, _mm512_loadu_si512(entries + 48));
        channel.quarter[q] = _mm512_mask_blend_epi8(0xFFFFFFFF00000000u, first, second);
    }
    return channel;
}

// The channel's byte for 64 indices: the low seven bits pick within a half of the table, the top bit
// picks the half.
__m512i LookUp(const Channel& channel, __m512i indices, __mmask64 upperHalf) {
    const __m512i lower = _mm512_permutex2var_epi8(channel.quarter[0], indices, channel.quarter[1]);
    const __m512i upper = _mm512_permutex2var_epi8(channel.quarter[2], indices, channel.quarter[3]);
    return _mm512_mask_blend_epi8(upperHalf, lower, upper);
}

// The unpacks below interleave within 128-bit lanes: output vector j, lane L, takes bytes 4j..4j+3 of
// lane L of the channel vectors. Moving plane byte 16j + 4L + k to position 16L + 4j + k beforehand
// makes output vector j hold pixels 16j..16j+15 in order.
__m512i LaneOrder() {
    alignas(64) std::uint8_t order[pixelsPerStep];
    for (int lane = 0; lane < 4; ++lane)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) order[16 * lane + 4 * j + k] = static_cast<std::uint8_t>(16 * j + 4 * lane + k);
    return _mm512_load_si512(order);
}

// ---- Blend, blur and row add ----

using V = Vectors;
using Wide = V::Wide;

using BlurSteps = PairSumBlurSteps<V>;

}  // namespace

void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane) {
    const Channel blue = ChannelOf(palette, 0), green = ChannelOf(palette, 1), red = ChannelOf(palette, 2),
                  top = ChannelOf(palette, 3);
    const __m512i order = LaneOrder();
    for (int r = 0; r < planeHeight; ++r) {
        std::uint8_t* row = static_cast<std::uint8_t*>(pixels) + r * pitch;
        const std::uint8_t* source = plane + planeWidth * r;
        for (int c = 0; c < planeWidth; c += pixelsPerStep) {
            // The zero-masking form with every lane selected: the plain one starts from an undefined vector,
            // which g++ 12 reports as used uninitialised.
            const __m512i indices = _mm512_maskz_permutexvar_epi8(~__mmask64{0}, order, _mm512_loadu_si512(source + c));
            const __mmask64 upperHalf = _mm512_movepi8_mask(indices);
            const __m512i b = LookUp(blue, indices, upperHalf), g = LookUp(green, indices, upperHalf);
            const __m512i rr = LookUp(red, indices, upperHalf), t = LookUp(top, indices, upperHalf);
            const __m512i blueGreenLow = _mm512_unpacklo_epi8(b, g), blueGreenHigh = _mm512_unpackhi_epi8(b, g);
            const __m512i redTopLow = _mm512_unpacklo_epi8(rr, t), redTopHigh = _mm512_unpackhi_epi8(rr, t);
            std::uint8_t* to = row + 4 * c;
            _mm512_storeu_si512(to, _mm512_unpacklo_epi16(blueGreenLow, redTopLow));
            _mm512_storeu_si512(to + 64, _mm512_unpackhi_epi16(blueGreenLow, redTopLow));
            _mm512_storeu_si512(to + 128, _mm512_unpacklo_epi16(blueGreenHigh, redTopHigh));
            _mm512_storeu_si512(to + 192, _mm512_unpackhi_epi16(blueGreenHigh, redTopHigh));
        }
    }
}

constinit const KernelTable kernels{
    KernelSet::AVX512,       avx2::ClearPlane, BlendPlanesWith<V>, BlurPlaneWith<V, BlurSteps>, ExpandPlane,
    AddRowsSaturatedWith<V>, avx2::LightPlane, avx2::ProjectDots,  avx2::SumPoleFields,         scalar::DrawFadingLine};

}  // namespace avx512
