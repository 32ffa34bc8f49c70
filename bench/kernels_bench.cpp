// The whole-plane kernels in every set beside memcpy of the bytes they write, and their summary lines.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/summary.h"
#include "render/kernels.h"

namespace {

constexpr long surfacePitch = planeWidth * 4;
constexpr long surfaceBytes = surfacePitch * planeHeight;

// Planes and surfaces as an effect holds them, filled with noise once.
struct Workspace {
    std::vector<std::uint8_t> accum = Noise(planeSize, 1), canvas = Noise(planeSize, 2);
    std::vector<std::uint8_t> surface = Noise(surfaceBytes, 3), backBuffer = Noise(surfaceBytes, 4);
    std::vector<std::uint8_t> lightMap = Noise(256 * 256, 5);
    std::uint32_t palette[256];

    Workspace() {
        for (std::uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
    }

    static std::vector<std::uint8_t> Noise(long size, unsigned seed) {
        std::mt19937 random(seed);
        std::vector<std::uint8_t> bytes(size);
        for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
        return bytes;
    }
};

Workspace& Shared() {
    static Workspace workspace;
    return workspace;
}

// Each call as the effects make it, over the whole plane.
struct KernelCase {
    const char* name;
    void (*run)(Workspace&);
    long bytes;  // written per call: what memcpy is measured against
};

const KernelCase kernelCases[] = {
    {"ClearPlane", [](Workspace& w) { ClearPlane(w.canvas.data()); }, planeSize},
    {"BlendPlanes", [](Workspace& w) { BlendPlanes(w.accum.data(), w.canvas.data(), 192, 255, 0, planeHeight); },
     planeSize},
    {"BlurPlane", [](Workspace& w) { BlurPlane(w.accum.data(), w.accum.data(), 0, planeHeight); }, planeSize},
    {"BlurPlaneApart", [](Workspace& w) { BlurPlane(w.canvas.data(), w.accum.data(), 0, planeHeight); }, planeSize},
    {"ExpandPlane", [](Workspace& w) { ExpandPlane(w.palette, w.surface.data(), surfacePitch, w.accum.data()); },
     surfaceBytes},
    // The relief's slopes in the noise reach past the map's edges, so both kinds of pixel occur.
    {"LightPlane", [](Workspace& w) { LightPlane(w.accum.data(), w.lightMap.data(), 17, -5, w.canvas.data()); },
     planeSize - 2 * planeWidth},
    {"AddRowsSaturated",
     [](Workspace& w) {
         AddRowsSaturated(w.backBuffer.data(), surfacePitch, w.surface.data(), surfacePitch, 0, planeHeight);
     },
     surfaceBytes},
};

const KernelSet allSets[] = {KernelSet::Reference, KernelSet::SSE2, KernelSet::AVX2, KernelSet::AVX512};

void RunKernel(benchmark::State& state, const KernelCase& kernel, KernelSet set) {
    UseKernelSet(set);
    if (CurrentKernelSet() != set) {
        state.SkipWithError("this processor lacks the kernel set");
        return;
    }
    Workspace& workspace = Shared();
    for (auto _ : state) {
        kernel.run(workspace);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kernel.bytes);
}

struct CopyBuffers {
    std::vector<std::uint8_t> from, to;
    explicit CopyBuffers(long bytes) : from(bytes, 1), to(bytes) {}
    void Copy() {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
    }
};

void RunMemcpy(benchmark::State& state, long bytes) {
    CopyBuffers buffers(bytes);
    for (auto _ : state) {
        buffers.Copy();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

bool RegisterKernelBenchmarks() {
    for (const KernelCase& kernel : kernelCases) {
        for (const KernelSet set : allSets) {
            const std::string name = std::string(kernel.name) + "/" + KernelSetName(set);
            benchmark::RegisterBenchmark(name.c_str(), RunKernel, kernel, set);
        }
    }
    for (const long bytes : {static_cast<long>(planeSize), surfaceBytes}) {
        benchmark::RegisterBenchmark(("memcpy/" + std::to_string(bytes)).c_str(), RunMemcpy, bytes);
    }
    return true;
}

[[maybe_unused]] const bool registered = RegisterKernelBenchmarks();

double KernelNanoseconds(const KernelCase& kernel, KernelSet set) {
    UseKernelSet(set);
    Workspace& workspace = Shared();
    return MedianNanoseconds([&] { kernel.run(workspace); });
}

double MemcpyNanoseconds(long bytes) {
    CopyBuffers buffers(bytes);
    return MedianNanoseconds([&] { buffers.Copy(); });
}

}  // namespace

void PrintKernelSummary() {
    const KernelSet fast = BestKernelSet();
    std::printf("Whole-plane kernels: %s against the reference and memcpy of the bytes written (median ns per call)\n",
                KernelSetName(fast));
    std::printf("%-18s %10s %13s %10s %9s %12s\n", "kernel", "fast ns", "reference ns", "memcpy ns", "ref/fast",
                "fast/memcpy");
    for (const KernelCase& kernel : kernelCases) {
        const double fastTime = KernelNanoseconds(kernel, fast);
        const double referenceTime = KernelNanoseconds(kernel, KernelSet::Reference);
        const double memcpyTime = MemcpyNanoseconds(kernel.bytes);
        std::printf("%-18s %10.0f %13.0f %10.0f %9.2f %12.2f\n", kernel.name, fastTime, referenceTime, memcpyTime,
                    referenceTime / fastTime, fastTime / memcpyTime);
    }
    UseKernelSet(fast);
}
