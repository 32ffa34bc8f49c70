// The fast kernels change nothing: the whole show gives the same frames with the reference kernels.
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

// FNV-1a of every 7th frame of the show at 30 frames a second of demo time.
std::vector<std::uint64_t> FrameHashes() {
    std::vector<std::uint64_t> hashes;
    qhost::VirtualHost host;
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

std::optional<std::vector<std::uint64_t>> FrameHashesInChild(KernelSet set) {
    const auto bytes = kit::InChildProcess([set] {
        UseKernelSet(set);
        const auto hashes = FrameHashes();
        return std::string(reinterpret_cast<const char*>(hashes.data()), hashes.size() * sizeof(std::uint64_t));
    });
    if (!bytes || bytes->size() % sizeof(std::uint64_t) != 0) return std::nullopt;
    std::vector<std::uint64_t> hashes(bytes->size() / sizeof(std::uint64_t));
    std::memcpy(hashes.data(), bytes->data(), bytes->size());
    return hashes;
}

TEST(KernelSetsInTheShow, EveryKernelSetDrawsTheSameShow) {
    const auto reference = FrameHashesInChild(KernelSet::Reference);
    ASSERT_TRUE(reference.has_value());
    ASSERT_GT(reference->size(), 600u);
    for (KernelSet set : {KernelSet::SSE2, KernelSet::AVX2, KernelSet::AVX512}) {
        if (static_cast<int>(set) > static_cast<int>(BestKernelSet())) continue;   // the processor lacks it
        const auto fast = FrameHashesInChild(set);
        ASSERT_TRUE(fast.has_value()) << KernelSetName(set);
        ASSERT_EQ(fast->size(), reference->size()) << KernelSetName(set);
        for (std::size_t i = 0; i < fast->size(); ++i)
            ASSERT_EQ((*fast)[i], (*reference)[i]) << KernelSetName(set) << " differs at frame " << 7 * i;
    }
}

}  // namespace
