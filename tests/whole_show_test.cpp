// The whole show with its own music on the virtual host: every scene marker arrives and is handled,
// the picture is never empty while a scene runs, and the sound may come from a thread of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "effects/effects.h"
#include "music/music.h"
#include "music/timeline.h"
#include "platform/virtual/virtual_host.h"
#include "platform/win32.h"
#include "tests/kit/kit.h"

namespace {

using qhost::VirtualHost;

bool AnyLight(const std::vector<std::uint32_t>& frame) {
    return std::any_of(frame.begin(), frame.end(), [](std::uint32_t p) { return (p & 0xFFFFFF) != 0; });
}

// 25 frames a second of demo time, each with its 1920 frames of sound, up to count 32.
TEST(WholeShow, PlaysFromTheFirstPictureToTheLastFlash) {
    VirtualHost host;
    std::vector<std::int32_t> countAt;
    int darkFrames = 0;
    int lastFlashFrame = 1 << 30;  // 7.5 s after count 31, when the last flash has faded
    const auto look = [&](VirtualHost& h, int frame) {
        const std::int32_t h0 = handledSync;
        if (h0 == 31 && lastFlashFrame == 1 << 30) lastFlashFrame = frame + 7500 / 40 - 1;
        // From the fade-in's first light to the end of the final flash, a frame is never black.
        if (frame > 50 && frame < lastFlashFrame && !AnyLight(h.lastFrame)) {
            ++darkFrames;
            std::printf("dark frame %d at count %d\n", frame, h0);
        }
        countAt.push_back(h0);
    };
    // The song has 31 scene markers; count 32 is the first of its second pass.
    const auto goOn = [](VirtualHost&, int frame) { return handledSync < 32 && frame <= 25 * 200; };
    ASSERT_EQ(kit::PlayShow(host, 25, {look, goOn}), 0);
    EXPECT_EQ(handledSync, 32);
    EXPECT_EQ(darkFrames, 0);
    // Every count from 1 to 31 was handled in some frame: none was skipped at 25 frames a second.
    for (std::int32_t n = 1; n <= 31; ++n) EXPECT_NE(std::find(countAt.begin(), countAt.end(), n), countAt.end()) << n;
    EXPECT_STREQ(topText.text, "finally");
    EXPECT_STREQ(bottomText.text, "you");
}

// The sound renders on its own thread, as a sound card's callback does, while frames are drawn.
TEST(WholeShow, SoundOnItsOwnThreadSharesOnlyAtomics) {
    VirtualHost host;
    host.recordCalls = false;
    std::atomic<bool> stop{false};
    std::atomic<int> rendered{0};
    std::thread audio;
    host.onFrame = [&](VirtualHost& h, int frame) {
        if (frame == 0) {
            audio = std::thread([&] {
                std::vector<float> samples(2 * 480);
                while (!stop.load() && h.RenderAudio(samples.data(), 480)) rendered.fetch_add(480);
            });
        }
        // The clock follows the sound, so the scene markers arrive in demo time.
        h.clock = static_cast<std::uint32_t>(rendered.load() / 48);
        if (h.clock > 70000 || frame > 200000) {
            stop = true;
            h.PressKey(VK_ESCAPE);
        }
    };
    ASSERT_EQ(host.Run(), 0);
    stop = true;
    if (audio.joinable()) audio.join();
    EXPECT_GE(handledSync, 5);
}

}  // namespace
