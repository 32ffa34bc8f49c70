// The whole show's frames depend on the demo time alone: the fast kernels give the same frames as the
// reference ones, and surfaces whose rows are padded beyond their 1280 bytes give the same frames as
// unpadded ones (expansion, compositing, copies and presentation all step by the pitch).
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "music/timeline.h"
#include "platform/virtual/virtual_host.h"
#include "render/kernels.h"
#include "tests/kit/kit.h"

namespace {

// FNV-1a of every 7th frame of the show at 30 frames a second of demo time, each surface row padded
// by `extraPitch` bytes.
std::vector<std::uint64_t> FrameHashes(long extraPitch) {
    std::vector<std::uint64_t> hashes;
    qhost::VirtualHost host;
    host.extraPitch = extraPitch;
    const auto hashFrame = [&](qhost::VirtualHost& h, int frame) {
        if (frame % 7 != 0) return;
        std::uint64_t hash = 14695981039346656037ull;
        for (std::uint32_t p : h.lastFrame) hash = (hash ^ p) * 1099511628211ull;
        hashes.push_back(hash);
    };
    const auto beforeTheEnd = [](qhost::VirtualHost& h, int) { return handledSync < 32 || h.clock <= 156000; };
    kit::PlayShow(host, 30, {hashFrame, beforeTheEnd});
    return hashes;
}

std::optional<std::vector<std::uint64_t>> FrameHashesInChild(KernelSet set, long extraPitch = 0) {
    const auto bytes = kit::InChildProcess([set, extraPitch] {
        UseKernelSet(set);
        const auto hashes = FrameHashes(extraPitch);
        return std::string(reinterpret_cast<const char*>(hashes.data()), hashes.size() * sizeof(std::uint64_t));
    });
    if (!bytes || bytes->size() % sizeof(std::uint64_t) != 0) return std::nullopt;
    std::vector<std::uint64_t> hashes(bytes->size() / sizeof(std::uint64_t));
    std::memcpy(hashes.data(), bytes->data(), bytes->size());
    return hashes;
}

void ExpectSameFrames(const std::vector<std::uint64_t>& expected,
                      const std::optional<std::vector<std::uint64_t>>& actual, const char* what) {
    ASSERT_TRUE(actual.has_value()) << what;
    ASSERT_EQ(actual->size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual->size(); ++i)
        ASSERT_EQ((*actual)[i], expected[i]) << what << " differs at frame " << 7 * i;
}

TEST(KernelSetsInTheShow, EveryKernelSetDrawsTheSameShow) {
    const auto reference = FrameHashesInChild(KernelSet::Reference);
    ASSERT_TRUE(reference.has_value());
    ASSERT_GT(reference->size(), 600u);
    for (KernelSet set : {KernelSet::SSE2, KernelSet::AVX2, KernelSet::AVX512}) {
        if (static_cast<int>(set) > static_cast<int>(BestKernelSet())) continue;  // the processor lacks it
        ExpectSameFrames(*reference, FrameHashesInChild(set), KernelSetName(set));
    }
}

// 52 bytes is 13 pixels: a pitch of 1332 puts three rows in four off every 16-byte boundary, and any
// step by 1280 where the pitch belongs lands inside the padding.
TEST(SurfacePitchInTheShow, PaddedSurfaceRowsDrawTheSameShow) {
    const auto unpadded = FrameHashesInChild(CurrentKernelSet());
    ASSERT_TRUE(unpadded.has_value());
    ASSERT_GT(unpadded->size(), 600u);
    ExpectSameFrames(*unpadded, FrameHashesInChild(CurrentKernelSet(), 52), "pitch 1332");
}

}  // namespace
