// The whole-plane kernels of each instruction set, behind the dispatch in kernels.cpp. All sets give
// identical bytes; the tests and benchmarks call them directly to compare them.
#pragma once

#include <cstdint>

// Plain per-byte loops: the definition the others must match.
namespace reference {
void ClearPlane(std::uint8_t* plane);
void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow, int endRow);
void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow);
void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane);
void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow);
}  // namespace reference

// 16 bytes per step; every x86-64 processor has them.
namespace sse2 {
void ClearPlane(std::uint8_t* plane);
void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow, int endRow);
void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow);
void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane);
void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow);
}  // namespace sse2

// 32 bytes per step; call only where the processor has AVX2.
namespace avx2 {
void ClearPlane(std::uint8_t* plane);
void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow, int endRow);
void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow);
void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane);
void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow);
}  // namespace avx2
