// The kernels of each set, behind the dispatch in kernels.cpp: the whole-plane ones, the relief lighting,
// the field sums, the dot projection and the fading line. All sets give identical results; the tests and
// benchmarks call each set's table, and the plain kernels directly, to compare them.
#pragma once

#include <cstdint>

#include "render/kernels.h"

// The sets a build compiles, by the same test as cmake/InstructionSets.cmake: on x86 all of them,
// chosen at run time; on the web the SSE2 set over WebAssembly SIMD; elsewhere the reference alone.
#if defined(__x86_64__) || defined(__i386__)
#define QUENDRALIS_SSE2_KERNELS 1
#define QUENDRALIS_AVX_KERNELS 1
#elif defined(__wasm_simd128__)
#define QUENDRALIS_SSE2_KERNELS 1
#endif

// One set's kernels, as render/kernels.cpp dispatches them; each has the signature of its namesake in
// render/kernels.h.
struct KernelTable {
    KernelSet set;
    decltype(::ClearPlane)* clearPlane;
    decltype(::BlendPlanes)* blendPlanes;
    decltype(::BlurPlane)* blurPlane;
    decltype(::ExpandPlane)* expandPlane;
    decltype(::AddRowsSaturated)* addRowsSaturated;
    decltype(::LightPlane)* lightPlane;
    decltype(::ProjectDots)* projectDots;
    decltype(::SumPoleFields)* sumPoleFields;
    decltype(::DrawFadingLine)* drawFadingLine;
};

// Plain loops, a byte or a division at a time: the definition the others must match. The fast sets
// take these three for the dots, the line and the last few points as they are.
namespace reference {
extern const KernelTable kernels;
decltype(::DrawFadingLine) DrawFadingLine;
decltype(::SumPoleFields) SumPoleFields;
decltype(::ProjectDots) ProjectDots;
}  // namespace reference

// Fast kernels without vectors, which both vector sets use.
namespace scalar {
decltype(::DrawFadingLine) DrawFadingLine;
}  // namespace scalar

// 16 bytes per step; every x86-64 processor has them, and the web has them through WebAssembly SIMD.
namespace sse2 {
extern const KernelTable kernels;
}  // namespace sse2

// 32 bytes per step; call only where the processor has AVX2.
namespace avx2 {
extern const KernelTable kernels;
// The ones the AVX-512 set takes as they are.
decltype(::ClearPlane) ClearPlane;
decltype(::LightPlane) LightPlane;
decltype(::ProjectDots) ProjectDots;
decltype(::SumPoleFields) SumPoleFields;
}  // namespace avx2

// 64 bytes per step with AVX-512 (byte permutes included); call only where the processor has them.
// The other kernels of this set are the AVX2 ones.
namespace avx512 {
extern const KernelTable kernels;
}  // namespace avx512
