// The fast kernels change nothing: the whole show gives the same frames with the reference kernels.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "music/timeline.h"
#include "platform/virtual/virtual_host.h"
#include "platform/win32.h"
#include "render/kernels.h"

namespace {

// FNV-1a of every 7th frame of the show at 30 frames a second of demo time.
std::vector<std::uint64_t> FrameHashes() {
    std::vector<std::uint64_t> hashes;
    qhost::VirtualHost host;
    host.recordCalls = false;
    host.onFrame = [&](qhost::VirtualHost& h, int frame) {
        if (frame % 7 == 0) {
            std::uint64_t hash = 14695981039346656037ull;
            for (std::uint32_t p : h.lastFrame) hash = (hash ^ p) * 1099511628211ull;
            hashes.push_back(hash);
        }
        std::vector<float> audio(2 * 1600);
        h.RenderAudio(audio.data(), 1600);
        h.clock = static_cast<std::uint32_t>((frame + 1) * 1000L / 30);
        if (handledSync >= 32 && h.clock > 156000) h.PressKey(VK_ESCAPE);
    };
    host.Run();
    return hashes;
}

std::vector<std::uint64_t> FrameHashesInChild(KernelSet set) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        UseKernelSet(set);
        const auto hashes = FrameHashes();
        const auto bytes = static_cast<ssize_t>(hashes.size() * sizeof(std::uint64_t));
        _exit(write(fds[1], hashes.data(), static_cast<std::size_t>(bytes)) == bytes ? 0 : 1);
    }
    close(fds[1]);
    std::vector<std::uint64_t> hashes;
    std::uint64_t h;
    while (read(fds[0], &h, sizeof h) == static_cast<ssize_t>(sizeof h)) hashes.push_back(h);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return hashes;
}

TEST(KernelSetsInTheShow, EveryKernelSetDrawsTheSameShow) {
    const auto reference = FrameHashesInChild(KernelSet::Reference);
    ASSERT_GT(reference.size(), 600u);
    for (KernelSet set : {KernelSet::SSE2, KernelSet::AVX2, KernelSet::AVX512}) {
        if (static_cast<int>(set) > static_cast<int>(BestKernelSet())) continue;   // the processor lacks it
        const auto fast = FrameHashesInChild(set);
        ASSERT_EQ(fast.size(), reference.size()) << KernelSetName(set);
        for (std::size_t i = 0; i < fast.size(); ++i)
            ASSERT_EQ(fast[i], reference[i]) << KernelSetName(set) << " differs at frame " << 7 * i;
    }
}

}  // namespace
