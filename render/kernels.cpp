// Chooses which set of whole-plane kernels runs: the fastest the processor has, picked before main on
// x86 and when compiling elsewhere.
#include "render/kernels.h"

#include "render/kernel_sets.h"

namespace {

#ifdef QUENDRALIS_AVX_KERNELS
KernelSet ProcessorSet() {
    __builtin_cpu_init();  // may run before the runtime's own initialisers
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi"))
        return KernelSet::AVX512;
    return __builtin_cpu_supports("avx2") ? KernelSet::AVX2 : KernelSet::SSE2;  // every x86 we run on has SSE2
}
#elif defined(QUENDRALIS_SSE2_KERNELS)
KernelSet ProcessorSet() { return KernelSet::SSE2; }
#else
KernelSet ProcessorSet() { return KernelSet::Reference; }
#endif

// The sets in the order of the instructions they need, each needing those of the ones before.
int Rank(KernelSet set) { return static_cast<int>(set); }

const KernelTable& TableFor(KernelSet set) {
    switch (set) {
#ifdef QUENDRALIS_AVX_KERNELS
    case KernelSet::AVX512:
        return avx512::kernels;
    case KernelSet::AVX2:
        return avx2::kernels;
#endif
#ifdef QUENDRALIS_SSE2_KERNELS
    case KernelSet::SSE2:
        return sse2::kernels;
#endif
    default:
        break;  // only the sets up to BestKernelSet() are asked for
    }
    return reference::kernels;
}

// Starts on the plain kernels, so a call made during static construction is still correct.
constinit const KernelTable* current = &reference::kernels;

// Selects the fastest set at start-up, before main.
[[maybe_unused]] const bool selected = (UseKernelSet(BestKernelSet()), true);

}  // namespace

KernelSet BestKernelSet() {
    static const KernelSet best = ProcessorSet();
    return best;
}

KernelSet CurrentKernelSet() { return current->set; }

void UseKernelSet(KernelSet set) {
    const bool available = Rank(set) <= Rank(BestKernelSet());
    current = &TableFor(available ? set : BestKernelSet());
}

const char* KernelSetName(KernelSet set) {
    switch (set) {
    case KernelSet::Reference:
        return "reference";
    case KernelSet::SSE2:
        return "sse2";
    case KernelSet::AVX2:
        return "avx2";
    case KernelSet::AVX512:
        return "avx512";
    }
    return "unknown";
}

void ClearPlane(std::uint8_t* plane) { current->clearPlane(plane); }

void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow, int endRow) {
    current->blendPlanes(dst, src, dstWeight, srcWeight, firstRow, endRow);
}

void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow) {
    current->blurPlane(dst, src, firstRow, endRow);
}

void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane) {
    current->expandPlane(palette, pixels, pitch, plane);
}

void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow) {
    current->addRowsSaturated(dst, dstPitch, src, srcPitch, firstRow, endRow);
}

void DrawFadingLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::int32_t intensity,
                    std::int32_t step, std::uint8_t* plane) {
    current->drawFadingLine(x0, y0, x1, y1, intensity, step, plane);
}

void SumPoleFields(const std::int32_t* x, const std::int32_t* y, int count, const std::int32_t* poleX,
                   const std::int32_t* poleY, int poleCount, std::int32_t* sumX, std::int32_t* sumY) {
    current->sumPoleFields(x, y, count, poleX, poleY, poleCount, sumX, sumY);
}

void LightPlane(const std::uint8_t* heights, const std::uint8_t* lightMap, int lightX, int lightY, std::uint8_t* lit) {
    current->lightPlane(heights, lightMap, lightX, lightY, lit);
}

void ProjectDots(const std::uint8_t* dots, int count, const std::int32_t turns[6], std::int32_t pulse,
                 const double* random, std::int32_t* x0, std::int32_t* y0, std::int32_t* x1, std::int32_t* y1) {
    current->projectDots(dots, count, turns, pulse, random, x0, y0, x1, y1);
}
