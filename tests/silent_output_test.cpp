// Without a sound device the song plays on the silent output, paced by the clock: its blocks are mixed
// when a device would mix them, its syncs fire, MIDASgetOption(3) answers its buffer, and the whole
// show runs on the virtual clock; only a module that cannot be loaded leaves the opening scene.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "effects/effects.h"
#include "midas_fake_host.h"
#include "midas_test_module.h"
#include "music/music.h"
#include "music/timeline.h"
#include "platform/midas_layer.h"
#include "platform/silent_output.h"
#include "platform/virtual/virtual_host.h"
#include "platform/win32.h"
#include "tests/kit/kit.h"

namespace {

using qaudio::SilentOutput;

std::vector<int> pulled;  // the size of every block the source was asked for, in order

void RecordBlock(float* samples, int frames) {
    pulled.push_back(frames);
    std::fill(samples, samples + 2 * frames, 0.5f);
}

struct PaceCase {
    std::uint32_t startMs, nowMs;
    std::size_t blocks;  // mixed by then, 1024 frames each at 48 kHz (21 1/3 ms)
};

class SilentPace : public testing::TestWithParam<PaceCase> {};

TEST_P(SilentPace, MixesTheBlockHeardFromNowOnAndEveryOneBefore) {
    pulled.clear();
    SilentOutput out;
    out.Start(48000, RecordBlock, 1024, GetParam().startMs);
    out.Pump(GetParam().nowMs);
    EXPECT_EQ(pulled, std::vector<int>(GetParam().blocks, 1024));
    EXPECT_EQ(out.FramesMixed(), GetParam().blocks * 1024);
}

INSTANTIATE_TEST_SUITE_P(Times, SilentPace,
                         testing::Values(PaceCase{0, 0, 1}, PaceCase{0, 21, 1}, PaceCase{0, 22, 2}, PaceCase{0, 64, 4},
                                         PaceCase{0, 1000, 47}, PaceCase{5000, 6000, 47}, PaceCase{0, 60000, 2813},
                                         // across the clock's wrap: 32 ms
                                         PaceCase{0xFFFFFFF0u, 0x10u, 2}),
                         [](const testing::TestParamInfo<PaceCase>& p) {
                             return "From" + std::to_string(p.param.startMs) + "To" + std::to_string(p.param.nowMs);
                         });

TEST(SilentOutput, ClockThatStepsBackMixesNothingUntilItIsPastItsLatestTimeAgain) {
    pulled.clear();
    SilentOutput out;
    out.Start(48000, RecordBlock, 1024, 1000);
    out.Pump(2000);
    ASSERT_EQ(pulled.size(), 47u);
    out.Pump(500);
    out.Pump(1999);
    EXPECT_EQ(pulled.size(), 47u);
    out.Pump(2022);  // 1022 ms after the start
    EXPECT_EQ(pulled.size(), 48u);
}

TEST(SilentOutput, StoppedOutputMixesNothingAndHasNoBuffer) {
    pulled.clear();
    SilentOutput out;
    out.Pump(1000);  // never started
    out.Start(48000, RecordBlock, 960, 0);
    EXPECT_TRUE(out.Running());
    EXPECT_EQ(out.BufferFrames(), 960u);
    out.Stop();
    out.Pump(1000);
    EXPECT_TRUE(pulled.empty());
    EXPECT_FALSE(out.Running());
    EXPECT_EQ(out.BufferFrames(), 0u);
}

std::atomic<std::uint32_t> pumpClock{0};
std::atomic<int> blocksOnThePump{0};

void CountBlock(float*, int) { blocksOnThePump.fetch_add(1, std::memory_order_relaxed); }

// Waits, without sleeping, until the pump thread has mixed `blocks` blocks; false after ten seconds.
bool PumpReaches(int blocks) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (blocksOnThePump.load(std::memory_order_relaxed) < blocks)
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        else
            std::this_thread::yield();
    return true;
}

// The real hosts' way: a thread reads the clock and mixes what is due; Stop ends its calls for good.
TEST(SilentPump, MixesOnItsOwnThreadAsTheClockMovesUntilStopped) {
    SilentOutput out;
    out.Start(48000, CountBlock, 1024, 0);
    qaudio::SilentPump pump;
    pump.Start(out, [] { return pumpClock.load(std::memory_order_relaxed); });
    EXPECT_TRUE(PumpReaches(1));
    pumpClock.store(1000, std::memory_order_relaxed);
    EXPECT_TRUE(PumpReaches(47));
    pump.Stop();
    pumpClock.store(100000, std::memory_order_relaxed);
    pump.Stop();
    EXPECT_EQ(blocksOnThePump.load(), 47);
}

// --- The module player on the silent output --------------------------------------------------

std::uint32_t pumpMs = 0;
std::vector<std::pair<std::uint32_t, std::uint32_t>> syncsAt;  // (value, clock ms when it fired)

void RecordSyncTime(std::uint32_t value, std::uint32_t, std::uint32_t) { syncsAt.emplace_back(value, pumpMs); }

class MidasWithoutSound : public midastest::MidasTest {
protected:
    void SetUp() override {
        MidasTest::SetUp();
        host.audioWorks = false;
        host.bufferFrames = 4800;  // what a device would report: not asked, as none opened
        syncsAt.clear();
    }
};

// The song of two passes of a four-row pattern, W00 on row 0 and W02 on row 2, 120 ms a row: each
// sync fires when the 1024-frame block holding its row's start is mixed.
TEST_F(MidasWithoutSound, SyncsFireWhenTheClockReachesTheBlockOfTheirRow) {
    xmtest::Builder b(2);
    b.AddPattern(4);
    b.Set(0, 0, 1, xmtest::Sync(0));
    b.Set(0, 2, 0, xmtest::Sync(2));
    b.SetOrders({0, 0});
    const std::vector<std::uint8_t> song = b.Build();
    MIDASstartup();
    MIDASinit();
    ASSERT_EQ(MIDASstartBackgroundPlay(0), 1);
    ASSERT_NE(host.silent, nullptr);
    const MIDASmodule module = MIDASloadModule(WriteFile("song.xm", song).c_str());
    const MIDASmodulePlayHandle play = MIDASplayModule(module, 0);
    ASSERT_EQ(MIDASsetMusicSyncCallback(play, RecordSyncTime), 1);
    // Started at clock 0 (the fake host's): the cues at 0, 240, 480 and 720 ms are frames 0, 11520,
    // 23040 and 34560, in blocks 0, 11, 22 and 33, which are mixed at 0, 235, 470 and 704 ms.
    for (pumpMs = 0; pumpMs <= 800; ++pumpMs) host.silent->Pump(pumpMs);
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {{0, 0}, {2, 235}, {0, 470}, {2, 704}};
    EXPECT_EQ(syncsAt, expected);
}

TEST_F(MidasWithoutSound, MixingBufferIsTheSilentOutputsBlockUntilPlayStops) {
    MIDASstartup();
    MIDASinit();
    EXPECT_EQ(MIDASgetOption(MIDAS_OPTION_MIXBUFLEN), 100u);  // no play yet: the host's figure
    ASSERT_EQ(MIDASstartBackgroundPlay(0), 1);
    EXPECT_EQ(MIDASgetOption(MIDAS_OPTION_MIXBUFLEN), 21u);  // 1024 frames at 48 kHz
    ASSERT_EQ(MIDASstopBackgroundPlay(), 1);
    EXPECT_EQ(MIDASgetOption(MIDAS_OPTION_MIXBUFLEN), 100u);
}

TEST_F(MidasWithoutSound, HostThatGainsADeviceLaterPlaysOnIt) {
    MIDASstartup();
    MIDASinit();
    ASSERT_EQ(MIDASstartBackgroundPlay(0), 1);
    ASSERT_EQ(MIDASstopBackgroundPlay(), 1);
    host.audioWorks = true;
    ASSERT_EQ(MIDASstartBackgroundPlay(0), 1);
    EXPECT_EQ(host.silent, nullptr);
    EXPECT_EQ(host.source, &MidasRenderAudio);
    EXPECT_EQ(MIDASgetOption(MIDAS_OPTION_MIXBUFLEN), 100u);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"OpenAudio", "PumpSilentOutput", "StopSilentOutput", "OpenAudio"}));
}

// --- The whole show without a sound device ---------------------------------------------------

// 25 frames a second on the virtual clock and no sound device: the song plays silently, every scene
// marker arrives when its row is due, as with sound, and the show reaches the last flash.
TEST(WholeShowWithoutSound, ReachesEverySceneAtItsCueAndTheLastFlash) {
    const std::vector<std::uint8_t> module = kit::DataFile("quendralis.xm");
    std::vector<double> markers;  // the time of each W00 of one pass, ms
    for (const MidasCue& cue : MidasListCues(module.data(), module.size()))
        if (cue.value == 0) markers.push_back(cue.timeMs);
    ASSERT_EQ(markers.size(), 31u);

    qhost::VirtualHost host;
    host.noSound = true;
    std::vector<std::int32_t> countAt;
    std::uint32_t mixingBuffer = 0;
    const auto look = [&](qhost::VirtualHost& h, int) {
        countAt.push_back(handledSync);
        mixingBuffer = MIDASgetOption(MIDAS_OPTION_MIXBUFLEN);
        EXPECT_FALSE(h.audioOpen());  // so the kit renders no sound: the silent output mixes it all
    };
    const auto goOn = [](qhost::VirtualHost&, int frame) { return handledSync < 32 && frame <= 25 * 200; };
    ASSERT_EQ(kit::PlayShow(host, 25, {look, goOn}), 0);
    EXPECT_EQ(handledSync, 32);
    EXPECT_EQ(mixingBuffer, 21u);
    EXPECT_STREQ(topText.text, "finally");
    EXPECT_STREQ(bottomText.text, "you");
    // Frame f shows demo time 40·f; the sound up to then is mixed before it, a block ahead (21.3 ms),
    // and a sync fires within one 64-frame slice (1.3 ms) of its row's start.
    for (std::int32_t n = 1; n <= 31; ++n) {
        const auto first = std::find(countAt.begin(), countAt.end(), n);
        ASSERT_NE(first, countAt.end()) << n;
        const double shownAt = 40.0 * static_cast<double>(first - countAt.begin());
        EXPECT_GE(shownAt, markers[n - 1] - 1024 / 48.0) << n;
        EXPECT_LT(shownAt, markers[n - 1] + 64 / 48.0 + 40) << n;
    }
}

// What does leave the show in its opening scene: a module that cannot be loaded, sound or none.
TEST(WholeShowWithoutSound, ModuleThatCannotBeLoadedLeavesTheOpeningScene) {
    MidasUseFallbackModule(false);
    MidasRedirectModule((testing::TempDir() + "no-such-module.xm").c_str());
    qhost::VirtualHost host;
    host.noSound = true;
    const auto goOn = [](qhost::VirtualHost& h, int frame) {
        if (frame == 10) h.HoldKey(VK_SPACE, true);
        return frame != 100;
    };
    EXPECT_EQ(kit::PlayShow(host, 10, {nullptr, goOn}), 0);
    EXPECT_EQ(host.framesPresented, 101);
    EXPECT_EQ(musicModule, 0u);
    EXPECT_EQ(syncCount.load(), 0);
    EXPECT_EQ(handledSync, 0);
    MidasRedirectModule(nullptr);
}

}  // namespace
