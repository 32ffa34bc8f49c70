// The whole-plane loops that the vector sets share, written once over a set's `Vectors` (render/simd_*.h):
// clear, blend, the blur's bands and the saturating row add. Each set's instantiations are internal to
// its own file, as its `Vectors` are, so every one is compiled for that set's instructions alone.
#pragma once

#include <cstdint>
#include <cstring>

#include "render/blur_edge_window.h"
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
  const auto above = V::Add(V::PairSum(V::Load(at - 321), V::Load(at - 320)), V::PairSum(V::Load(at - 319), V::Load(at + 1)));
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
    for (int b = 0; b < rowBytes; b += V::bytes) V::Store(to + b, V::AddSaturated(V::Load(to + b), V::Load(from + b)));
  }
}
