// The whole-plane loops that the vector sets share, written once over a set's `Vectors` (render/simd_*.h):
// clear, blend, the blur's bands, the palette expansion, the saturating row add, the relief lighting and
// the pole fields. Each set's instantiations are internal to
// its own file, as its `Vectors` are, so every one is compiled for that set's instructions alone.
#pragma once

#include <cstdint>
#include <cstring>

#include "render/blur_edge_window.h"
#include "render/kernel_sets.h"
#include "render/kernels.h"

// Stores that straddle cache lines cost double, so all but the first and last are aligned; those two
// overlap their neighbours.
template <class V>
void ClearPlaneWith(std::uint8_t* plane) {
    const typename V::Type zero = V::Zero();
    std::uint8_t* const end = plane + planeSize;
    V::Store(plane, zero);
    std::uint8_t* p = plane + V::bytes - reinterpret_cast<std::uintptr_t>(plane) % V::bytes;
    for (; p + V::bytes <= end; p += V::bytes) V::StoreAligned(p, zero);
    V::Store(end - V::bytes, zero);
}

// A row is a whole number of steps for every width.
template <class V>
void BlendPlanesWith(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow,
                     int endRow) {
    const typename V::Type wd = V::Splat16(dstWeight & 0xFF);
    const typename V::Type ws = V::Splat16(srcWeight & 0xFF);
    for (long p = planeWidth * static_cast<long>(firstRow); p < planeWidth * static_cast<long>(endRow); p += V::bytes)
        V::Store(dst + p, V::Pack(V::Add(V::Scale(V::Load(dst + p), wd), V::Scale(V::Load(src + p), ws))));
}

// The eight neighbours of consecutive positions with a byte pair sum, the left ones given: in place
// the three above are already blurred and the four after still hold their old values.
template <class V>
typename V::Wide NeighbourSum(const std::uint8_t* at, typename V::Type left) {
    const auto above =
        V::Add(V::PairSum(V::Load(at - 321), V::Load(at - 320)), V::PairSum(V::Load(at - 319), V::Load(at + 1)));
    const auto below = V::Add(V::PairSum(V::Load(at + 319), V::Load(at + 320)), V::PairSum(V::Load(at + 321), left));
    return V::Add(above, below);
}

// `Steps` gives the set's blur of one vector of positions: Apart(at) into a different plane, where
// every neighbour is a source byte, and InPlace(at, previousHi), which carries the blurred last byte of
// the step before in `previousHi`.
template <class V, class Steps, bool inPlace>
void BlurBand(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow) {
    typename V::Type previousHi = V::Zero();  // row firstRow is already zero
    BlurEdgeWindow<V::bytes> window;
    for (long q = planeWidth * (firstRow + 1L); q < planeWidth * (endRow - 1L); q += V::bytes) {
        const std::uint8_t* at = window.Near(q) ? window.Around(src, q) : src + q;
        V::Store(dst + q, inPlace ? Steps::InPlace(at, previousHi) : Steps::Apart(at));
    }
}

// The blur's steps of the sets with a byte pair sum (AVX2, AVX-512), whose 16-bit lanes split within
// each 128-bit lane as the unpack instructions do.
template <class V>
struct PairSumBlurSteps {
    using Type = typename V::Type;

    // Into a different plane every neighbour is a source byte.
    static Type Apart(const std::uint8_t* at) { return V::Pack(V::Eighth(NeighbourSum<V>(at, V::Load(at - 1)))); }

    // In place, the left neighbour of each group's first byte (bytes 0, 8, 16, ...) is the blurred last
    // byte of the group before; every other left neighbour is an old byte. Those last bytes (7, 15, 23, ...)
    // have old left neighbours, so a first pass over old neighbours gets them right, and a second pass
    // swaps them in as the left neighbours of the first bytes. `previousHi` carries the last byte of the
    // step before.
    static Type InPlace(const std::uint8_t* at, Type& previousHi) {
        // Bytes k-1, and 0 for byte 0: its left neighbour comes from `previousHi` alone.
        const Type oldLeft = V::OldLeft(V::Load(at));
        const typename V::Wide sum = NeighbourSum<V>(at, oldLeft);
        const typename V::Wide first = V::Eighth(sum);
        // 16-bit lane 0 of each 128-bit lane: the old left neighbours of bytes 0, 16, ... (lo) and 8, 24, ... (hi).
        const Type lane0 = V::FirstWordOfEachLane();
        const Type oldLeftLo = V::And(oldLeft, lane0);
        const Type oldLeftHi = V::And(V::template ShiftRightInLanes<8>(oldLeft), lane0);
        // Bytes 0, 16, ... take the last bytes of the 128-bit lane before (of the step before for byte 0)
        // in the hi half; bytes 8, 24, ... take those of their own lane in the lo half.
        const Type blurredLeftLo = V::template ShiftRightInLanes<14>(V::LaneBefore(first.hi, previousHi));
        const Type blurredLeftHi = V::template ShiftRightInLanes<14>(first.lo);
        const typename V::Wide mean{V::Add16(V::Sub16(sum.lo, oldLeftLo), blurredLeftLo),
                                    V::Add16(V::Sub16(sum.hi, oldLeftHi), blurredLeftHi)};
        previousHi = first.hi;
        return V::Pack(V::Eighth(mean));
    }
};

template <class V, class Steps>
void BlurPlaneWith(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow) {
    std::memset(dst + planeWidth * firstRow, 0, planeWidth);
    if (dst == src) {
        BlurBand<V, Steps, true>(dst, src, firstRow, endRow);
    } else {
        BlurBand<V, Steps, false>(dst, src, firstRow, endRow);
    }
    std::memset(dst + planeWidth * (endRow - 1), 0, planeWidth);
}

template <class V>
void AddRowsSaturatedWith(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                          int endRow) {
    constexpr int rowBytes = planeWidth * 4;  // of 32-bit surface memory
    for (int r = firstRow; r < endRow; ++r) {
        std::uint8_t* to = dst + r * dstPitch;
        const std::uint8_t* from = src + r * srcPitch;
        for (int b = 0; b < rowBytes; b += V::bytes)
            V::Store(to + b, V::AddSaturated(V::Load(to + b), V::Load(from + b)));
    }
}

// The palette reads are what limit the speed: the plane bytes arrive eight at a time in a general
// register, and the set puts their entries into vector lanes for the stores of 32 bytes.
template <class V>
void ExpandPlaneWith(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane) {
    for (int r = 0; r < planeHeight; ++r) {
        std::uint8_t* row = static_cast<std::uint8_t*>(pixels) + r * pitch;
        const std::uint8_t* source = plane + planeWidth * r;
        for (int c = 0; c < planeWidth; c += 8) {
            std::uint64_t indices;
            std::memcpy(&indices, source + c, sizeof indices);
            // Eight equal bytes, as in the dark parts of most planes, need only one look-up.
            const bool even = indices == (indices & 0xFF) * 0x0101010101010101u;
            V::StoreEntries(row + 4 * c,
                            even ? V::EightSame(palette[indices & 0xFF]) : V::EightEntries(palette, indices));
        }
    }
}

// V::bytes / 2 pixels per step: the map positions in 16-bit lanes (with |lightX|, |lightY| <= 16384
// they cannot wrap), then as many scalar look-ups (a gather is slower here), and the old bytes kept
// where a position is off the map. v * 256 + u stays below 65536 in an unsigned lane, so even the
// dropped look-ups stay inside the map.
template <class V>
void LightPlaneWith(const std::uint8_t* heights, const std::uint8_t* lightMap, int lightX, int lightY,
                    std::uint8_t* lit) {
    constexpr int lanes = V::bytes / 2;
    const typename V::Type highByte = V::Splat16(0xFF00);
    for (int y = 1; y < planeHeight - 1; ++y) {
        const std::uint8_t* h = heights + y * planeWidth;
        std::uint8_t* row = lit + (y - 1) * planeWidth;
        const typename V::Type rowOffset = V::Splat16((y >> 1) - lightY + 64);
        for (int x = 0; x < planeWidth; x += lanes) {
            const typename V::Type columnOffset = V::Add16(V::Splat16((x >> 1) - lightX + 64), V::HalfSteps());
            const typename V::Type u = V::Add16(V::QuarterSlope(h + x - 1, h + x + 1), columnOffset);
            const typename V::Type v = V::Add16(V::QuarterSlope(h + x - planeWidth, h + x + planeWidth), rowOffset);
            // A lane outside 0..255 has bits above the low byte set, a negative one included.
            const typename V::Type onMap = V::IsZero16(V::And(V::Or(u, v), highByte));
            alignas(V::bytes) std::uint16_t positions[lanes];
            V::StoreAligned(reinterpret_cast<std::uint8_t*>(positions), V::Or(V::HighByte16(v), u));
            alignas(16) std::uint8_t looked[lanes];
            for (int k = 0; k < lanes; ++k) looked[k] = lightMap[positions[k]];
            V::KeepOnMap(row + x, looked, onMap);
        }
    }
}

// V::bytes / 4 points per step in 32-bit lanes, the rest one at a time. Each lane of the squared
// distance holds dx in its low and dy in its high 16 bits, so one multiply-add gives dx*dx + dy*dy;
// with both at most 32767 in size the sum stays below 2^31. The quotients d * 65536 / q are taken in
// doubles: a double holds the numerator (below 2^31) and the divisor exactly, and a quotient of
// integers below 2^53 never rounds across an integer, so truncating the double quotient gives the
// integer one. A q of 0 divides by 1 instead, and its lanes are dropped.
template <class V>
void SumPoleFieldsWith(const std::int32_t* x, const std::int32_t* y, int count, const std::int32_t* poleX,
                       const std::int32_t* poleY, int poleCount, std::int32_t* sumX, std::int32_t* sumY) {
    constexpr int lanes = V::bytes / 4;
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        const typename V::Type px = V::LoadInts(x + i);
        const typename V::Type py = V::LoadInts(y + i);
        typename V::Type sx = V::Zero();
        typename V::Type sy = V::Zero();
        for (int k = 0; k < poleCount; ++k) {
            const typename V::Type dx = V::SubInts(px, V::SplatInt(poleX[k]));
            const typename V::Type dy = V::SubInts(py, V::SplatInt(poleY[k]));
            const typename V::Type q = V::HalfSquaredDistance(dx, dy);
            const typename V::Type none = V::IsZeroInt(q);
            const typename V::Divisors divisors = V::DivisorsOf(q);
            sx = V::AddInts(sx, V::AndNot(none, V::Quotients(dx, divisors)));
            sy = V::AddInts(sy, V::AndNot(none, V::Quotients(dy, divisors)));
        }
        V::StoreInts(sumX + i, sx);
        V::StoreInts(sumY + i, sy);
    }
    reference::SumPoleFields(x + i, y + i, count - i, poleX, poleY, poleCount, sumX + i, sumY + i);
}
