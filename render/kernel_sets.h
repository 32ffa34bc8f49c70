// The kernels of each set, behind the dispatch in kernels.cpp: the whole-plane ones, the relief lighting,
// the field sums, the dot projection and the fading line. All sets give identical results; the tests and benchmarks call them directly to compare them.
#pragma once

#include <cstdint>

// The sets a build compiles, by the same test as cmake/InstructionSets.cmake: on x86 all of them,
// chosen at run time; on the web the SSE2 set over WebAssembly SIMD; elsewhere the reference alone.
#if defined(__x86_64__) || defined(__i386__)
#define QUENDRALIS_SSE2_KERNELS 1
#define QUENDRALIS_AVX_KERNELS 1
#elif defined(__wasm_simd128__)
#define QUENDRALIS_SSE2_KERNELS 1
#endif

// Plain loops, a byte or a division at a time: the definition the others must match.
namespace reference {
void ClearPlane(std::uint8_t* plane);
void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow, int endRow);
void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow);
void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane);
void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow);
void DrawFadingLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::int32_t intensity,
                    std::int32_t step, std::uint8_t* plane);
void SumPoleFields(const std::int32_t* x, const std::int32_t* y, int count, const std::int32_t* poleX,
                   const std::int32_t* poleY, int poleCount, std::int32_t* sumX, std::int32_t* sumY);
void LightPlane(const std::uint8_t* heights, const std::uint8_t* lightMap, int lightX, int lightY, std::uint8_t* lit);
void ProjectDots(const std::uint8_t* dots, int count, const std::int32_t turns[6], std::int32_t pulse,
                 const double* random, std::int32_t* x0, std::int32_t* y0, std::int32_t* x1, std::int32_t* y1);
}  // namespace reference

// Fast kernels without vectors, which both vector sets use.
namespace scalar {
void DrawFadingLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::int32_t intensity,
                    std::int32_t step, std::uint8_t* plane);
}  // namespace scalar

// 16 bytes per step; every x86-64 processor has them, and the web has them through WebAssembly SIMD.
namespace sse2 {
void ClearPlane(std::uint8_t* plane);
void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow, int endRow);
void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow);
void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane);
void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow);
void SumPoleFields(const std::int32_t* x, const std::int32_t* y, int count, const std::int32_t* poleX,
                   const std::int32_t* poleY, int poleCount, std::int32_t* sumX, std::int32_t* sumY);
void LightPlane(const std::uint8_t* heights, const std::uint8_t* lightMap, int lightX, int lightY, std::uint8_t* lit);
}  // namespace sse2

// 32 bytes per step; call only where the processor has AVX2.
namespace avx2 {
void ClearPlane(std::uint8_t* plane);
void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow, int endRow);
void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow);
void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane);
void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow);
void SumPoleFields(const std::int32_t* x, const std::int32_t* y, int count, const std::int32_t* poleX,
                   const std::int32_t* poleY, int poleCount, std::int32_t* sumX, std::int32_t* sumY);
void LightPlane(const std::uint8_t* heights, const std::uint8_t* lightMap, int lightX, int lightY, std::uint8_t* lit);
void ProjectDots(const std::uint8_t* dots, int count, const std::int32_t turns[6], std::int32_t pulse,
                 const double* random, std::int32_t* x0, std::int32_t* y0, std::int32_t* x1, std::int32_t* y1);
}  // namespace avx2

// 64 bytes per step with AVX-512 (byte permutes included); call only where the processor has them.
// The other kernels of this set are the AVX2 ones.
namespace avx512 {
void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow, int endRow);
void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow);
void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane);
void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow);
}  // namespace avx512
