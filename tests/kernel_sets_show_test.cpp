// The whole show's frames depend on the demo time alone: the fast kernels give the same frames as the
// reference ones, and surfaces whose rows are padded beyond their 1280 bytes give the same frames as
// unpadded ones (expansion, compositing, copies and presentation all step by the pitch).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "music/timeline.h"
#include "platform/virtual/virtual_host.h"
#include "platform/win32.h"
#include "render/kernels.h"

namespace {

// FNV-1a of every 7th frame of the show at 30 frames a second of demo time, each surface row padded
// by `extraPitch` bytes.
std::vector<std::uint64_t> FrameHashes(long extraPitch) {
    std::vector<std::uint64_t> hashes;
    qhost::VirtualHost host;
    host.recordCalls = false;
    host.extraPitch = extraPitch;
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

// The show runs in a child process: the demo's objects are made once per process.
std::vector<std::uint64_t> FrameHashesInChild(KernelSet set, long extraPitch = 0) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        UseKernelSet(set);
        const auto hashes = FrameHashes(extraPitch);
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

void ExpectSameFrames(const std::vector<std::uint64_t>& expected, const std::vector<std::uint64_t>& actual,
                      const char* what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i)
        ASSERT_EQ(actual[i], expected[i]) << what << " differs at frame " << 7 * i;
}

TEST(KernelSetsInTheShow, EveryKernelSetDrawsTheSameShow) {
    const auto reference = FrameHashesInChild(KernelSet::Reference);
    ASSERT_GT(reference.size(), 600u);
    for (KernelSet set : {KernelSet::SSE2, KernelSet::AVX2, KernelSet::AVX512}) {
        if (static_cast<int>(set) > static_cast<int>(BestKernelSet())) continue;   // the processor lacks it
        ExpectSameFrames(reference, FrameHashesInChild(set), KernelSetName(set));
    }
}

// 52 bytes is 13 pixels: a pitch of 1332 puts three rows in four off every 16-byte boundary, and any
// step by 1280 where the pitch belongs lands inside the padding.
TEST(SurfacePitchInTheShow, PaddedSurfaceRowsDrawTheSameShow) {
    const auto unpadded = FrameHashesInChild(CurrentKernelSet());
    ASSERT_GT(unpadded.size(), 600u);
    ExpectSameFrames(unpadded, FrameHashesInChild(CurrentKernelSet(), 52), "pitch 1332");
}

}  // namespace
