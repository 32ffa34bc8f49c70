// The demo's side of the music: the echo set it passes, the sync callback's cases, the music start,
// and the Space skip, with the real module played on the virtual host.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/shell.h"
#include "effects/effects.h"
#include "music/music.h"
#include "music/timeline.h"
#include "platform/midas_layer.h"
#include "platform/virtual/virtual_host.h"
#include "tests/kit/kit.h"

namespace {

using qhost::VirtualHost;

TEST(EchoSet, CarriesTheExactFixedPointIntegers) {
    EXPECT_EQ(echoSet.feedback, 49151);
    EXPECT_EQ(echoSet.gain, 55704);
    ASSERT_EQ(echoSet.numEchoes, 5u);
    const MIDASecho expected[5] = {{2752470, 10485, 0, 1},
                                   {5177265, -12451, 0, 1},
                                   {10288995, -17694, 1, 1},
                                   {10682205, 18349, 0, 1},
                                   {26672745, 15728, 1, 1}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(echoSet.echoes[i].delay, expected[i].delay) << i;
        EXPECT_EQ(echoSet.echoes[i].gain, expected[i].gain) << i;
        EXPECT_EQ(echoSet.echoes[i].reverseChannels, expected[i].reverseChannels) << i;
        EXPECT_EQ(echoSet.echoes[i].filterType, expected[i].filterType) << i;
    }
}

struct CallbackCase {
    std::int32_t countBefore;
    std::uint32_t value;
    std::int32_t countAfter;
    bool topChanges, bottomChanges;
};

class SyncCallback : public testing::TestWithParam<CallbackCase> {};

TEST_P(SyncCallback, ChangesTheCountAndTheTimesOfItsCase) {
    const CallbackCase c = GetParam();
    syncCount = c.countBefore;
    demoTime = 1000.75f;
    topText.startTime = 300;
    bottomText.startTime = 400;
    dotCube.startTime = 500;
    topText.changeTime = 7;
    bottomText.changeTime = 7;
    const std::int32_t eventTime = static_cast<std::int32_t>(MIDASgetOption(MIDAS_OPTION_MIXBUFLEN) + 1000.75);
    MusicSyncCallback(c.value, 0, 0);
    EXPECT_EQ(syncCount.load(), c.countAfter);
    EXPECT_EQ(topText.changeTime.load(), c.topChanges ? static_cast<std::uint32_t>(eventTime - 300) : 7u);
    EXPECT_EQ(bottomText.changeTime.load(), c.bottomChanges ? static_cast<std::uint32_t>(eventTime - 400) : 7u);
    EXPECT_EQ(dotCube.beatTime.load(), eventTime - 500);
}

INSTANTIATE_TEST_SUITE_P(Cases, SyncCallback,
                         testing::Values(CallbackCase{0, 0, 1, false, false}, CallbackCase{4, 2, 4, false, false},
                                         CallbackCase{5, 2, 5, true, false}, CallbackCase{6, 2, 6, true, true},
                                         CallbackCase{30, 2, 30, true, true}, CallbackCase{6, 1, 6, false, false},
                                         CallbackCase{6, 3, 6, false, false}, CallbackCase{6, 255, 6, false, false}));

TEST(SyncCallbackTimes, WithNoMixingBufferTheEventTimeIsTheTruncatedDemoTime) {
    demoTime = 1234.9f;
    dotCube.startTime = 0;
    MusicSyncCallback(1, 0, 0);
    EXPECT_EQ(MIDASgetOption(MIDAS_OPTION_MIXBUFLEN), 0u);
    EXPECT_EQ(dotCube.beatTime.load(), 1234);
}

TEST(SyncCallbackTimes, TwoCountsBetweenFramesRaiseTheCountByTwo) {
    MusicSyncCallback(0, 0, 0);
    MusicSyncCallback(0, 0, 1);
    EXPECT_EQ(syncCount.load(), 2);
}

// Plays the demo with its own module: 60 frames a second of demo time, each with its audio.
void PlayFrames(VirtualHost& host, int frames, std::function<void(VirtualHost&, int)> each = nullptr) {
    const auto goOn = [frames, each](VirtualHost& h, int frame) {
        if (each) each(h, frame);
        return frame + 1 != frames;
    };
    ASSERT_EQ(kit::PlayShow(host, 60, {nullptr, goOn}), 0);
}

TEST(MusicStart, TheModuleDrivesTheSceneCounter) {
    VirtualHost host;
    std::int32_t countAt19 = -1;
    PlayFrames(host, 60 * 20, [&](VirtualHost&, int frame) {
        if (frame == 60 * 19) countAt19 = syncCount.load();
    });
    EXPECT_EQ(countAt19, 0);
    EXPECT_EQ(syncCount.load(), 1);  // the cross-fade marker at 19.2 s
    EXPECT_EQ(handledSync, 1);
    EXPECT_NE(musicModule, 0u);
    EXPECT_NE(playHandle, 0u);
    EXPECT_FALSE(host.audioOpen());  // stopped by Shutdown
}

TEST(SpaceSkip, EachFrameWithSpaceDownMovesTheSongOnePosition) {
    VirtualHost host;
    MIDASplayStatus status{};
    PlayFrames(host, 20, [&](VirtualHost& h, int frame) {
        if (frame == 4) {
            h.PressKey(VK_SPACE);
            h.HoldKey(VK_SPACE, true);
        }
        if (frame == 7) h.HoldKey(VK_SPACE, false);
        if (frame == 18) MIDASgetPlayStatus(playHandle, &status);
    });
    EXPECT_EQ(status.position, 3u);  // held during three frames
    // The counter follows only what the song plays: position 3 starts with the cross-fade marker.
    EXPECT_EQ(syncCount.load(), 1);
    EXPECT_EQ(handledSync, 1);
}

TEST(SpaceSkip, APressDuringStartUpIsForgotten) {
    VirtualHost host;
    MIDASplayStatus status{};
    qhost::PostKeyDown(VK_SPACE);  // pressed and released before the music starts
    PlayFrames(host, 3, [&](VirtualHost&, int frame) {
        if (frame == 2) MIDASgetPlayStatus(playHandle, &status);
    });
    EXPECT_EQ(status.position, 0u);
}

TEST(MissingModule, NothingPlaysTheSceneStaysAndSpaceDoesNoHarm) {
    MidasUseFallbackModule(false);
    VirtualHost host;
    PlayFrames(host, 30, [](VirtualHost& h, int frame) {
        if (frame == 3) h.HoldKey(VK_SPACE, true);
    });
    EXPECT_EQ(musicModule, 0u);
    EXPECT_EQ(syncCount.load(), 0);
    EXPECT_EQ(handledSync, 0);
}

}  // namespace
