// The sequencer on the virtual host: the event table, skipped counts, the render table and the clock.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/shell.h"
#include "effects/effects.h"
#include "music/music.h"
#include "music/timeline.h"
#include "platform/virtual/virtual_host.h"

namespace {

using qhost::VirtualHost;

// Runs the demo; the counts are delivered one per frame from frame 0 at demo time 1000 ms, then
// `check` runs on the frame after the last one and the demo ends.
template <typename Check>
void RunCounts(std::vector<std::int32_t> counts, Check check) {
    VirtualHost host;
    host.audioBufferFrames = 4800;  // a 100 ms mixing buffer
    host.onFrame = [&](VirtualHost& h, int frame) {
        h.clock = 1000 + static_cast<std::uint32_t>(frame);
        if (frame < static_cast<int>(counts.size())) {
            syncCount.store(counts[static_cast<std::size_t>(frame)]);
        } else {
            check();
            h.PressKey(VK_ESCAPE);
        }
    };
    ASSERT_EQ(host.Run(), 0);
}

TEST(Timeline, EventTableSetsTheFieldsOfEachCount) {
    // Each count handled on its own frame: the frame after frame k runs at 1000 + k ms, and its event
    // time adds the 100 ms mixing buffer.
    std::vector<std::int32_t> counts;
    for (int n = 1; n <= 6; ++n) counts.push_back(n);
    RunCounts(counts, [] {
        EXPECT_EQ(bump.crossfadeStart, 1100u);
        EXPECT_EQ(bump.fadeOutStart, 1101u);
        EXPECT_EQ(sweep.startTime, 1101);
        EXPECT_EQ(sweep.endTime, 1102u);
        EXPECT_EQ(field.startTime, 1102);
        EXPECT_EQ(flash.startTime, 1102);
        EXPECT_EQ(flash.red + flash.green + flash.blue, 3 * 255);
        EXPECT_EQ(flash.fadeRate, 0.05f);
        EXPECT_EQ(dotCube.startTime.load(), 1103);
        EXPECT_EQ(topText.startTime.load(), 1104);
        EXPECT_EQ(bottomText.startTime.load(), 1105);
        EXPECT_STREQ(topText.nextText, "Greetz");
        EXPECT_STREQ(bottomText.nextText, "To");
        EXPECT_EQ(handledSync, 6);
    });
}

struct TextCase {
    std::int32_t count;
    const char* top;  // nextText of topText after the count, nullptr: not handed a text
    const char* bottom;
};

class GreetingCounts : public testing::TestWithParam<TextCase> {};

TEST_P(GreetingCounts, HandOverTheirTexts) {
    const TextCase c = GetParam();
    RunCounts({c.count}, [&] {
        if (c.top) {
            EXPECT_STREQ(topText.nextText, c.top);
        }
        if (!c.top) {
            EXPECT_EQ(topText.textPending, 0);
        }
        if (c.bottom) {
            EXPECT_STREQ(bottomText.nextText, c.bottom);
        }
        if (!c.bottom) {
            EXPECT_EQ(bottomText.textPending, 0);
        }
    });
}

INSTANTIATE_TEST_SUITE_P(EveryTextCount, GreetingCounts,
                         testing::Values(TextCase{7, greetTexts[1], nullptr}, TextCase{8, nullptr, greetTexts[12]},
                                         TextCase{23, greetTexts[9], nullptr}, TextCase{24, nullptr, "and"},
                                         TextCase{25, "finally", nullptr}, TextCase{26, nullptr, "you"},
                                         TextCase{27, "", nullptr}, TextCase{28, "", ""}, TextCase{29, "", ""},
                                         TextCase{30, "", ""}, TextCase{31, "", ""}, TextCase{32, "", ""},
                                         TextCase{40, "", ""}));

TEST(Timeline, SecondSweepAndTheEnd) {
    RunCounts({28}, [] {
        EXPECT_EQ(sweep.startTime, 1100);
        EXPECT_EQ(sweep.endTime, never);
    });
}

TEST(Timeline, CountThirtyOneEndsEverythingWithASlowFlash) {
    RunCounts({31}, [] {
        EXPECT_EQ(flash.startTime, 1100);
        EXPECT_EQ(flash.fadeRate, 0.01f);
        EXPECT_EQ(flash.red, 255);
        EXPECT_EQ(sweep.endTime, 1100u);
        EXPECT_EQ(dotCube.endTime, 1100u);
        EXPECT_EQ(field.endTime, 1100u);
    });
}

TEST(Timeline, AJumpFromTwoToFourSkipsCountThree) {
    RunCounts({2, 4}, [] {
        EXPECT_EQ(handledSync, 4);
        EXPECT_EQ(sweep.endTime, never);
        EXPECT_EQ(field.startTime, 0);
        EXPECT_EQ(flash.fadeRate, 0.0f);
        EXPECT_EQ(flash.startTime, 0);
        EXPECT_EQ(dotCube.startTime.load(), 1101);
    });
}

TEST(Timeline, OnlyTheNewestOfSeveralCountsIsApplied) {
    RunCounts({0, 6}, [] {
        EXPECT_EQ(handledSync, 6);
        EXPECT_EQ(bump.crossfadeStart, never);
        EXPECT_EQ(topText.startTime.load(), 0);
        EXPECT_EQ(bottomText.startTime.load(), 1101);
    });
}

// Which effects each handled count calls, in drawing order.
TEST(Timeline, RenderTableCallsTheEffectsOfEachScene) {
    const Effect* b = &bump;
    const Effect* f = &field;
    const Effect* d = &dotCube;
    const Effect* s = &sweep;
    const Effect* x = &flash;
    const Effect* top = &topText;
    const Effect* bottom = &bottomText;
    struct Row {
        std::int32_t h;
        std::vector<const Effect*> effects;
    };
    const Row rows[] = {
        {0, {b}},
        {1, {b}},
        {2, {b, s}},
        {3, {f, s, x}},
        {4, {f, d}},
        {5, {f, d, top}},
        {6, {f, d, top, bottom}},
        {26, {f, d, top, bottom}},
        {27, {f, d, bottom}},
        {28, {f, d}},
        {29, {f, d, s}},
        {30, {f, d, s}},
        {31, {f, d, s, x}},
        {32, {f, s, x}},
        {100, {f, s, x}},
    };
    for (const Row& row : rows) {
        std::vector<const Effect*> called;
        for (const SceneLayer& layer : sceneLayers)
            if (LayerActive(layer, row.h)) called.push_back(layer.effect);
        EXPECT_EQ(called, row.effects) << "h = " << row.h;
    }
}

TEST(Timeline, LayersAreCopiedOrAddedOverTheirRows) {
    struct Rows {
        const Effect* effect;
        int first, end;
    };
    const Rows expected[] = {{&bump, 0, 0},    {&field, 0, 0},     {&dotCube, 0, 240},     {&sweep, 0, 240},
                             {&flash, 0, 240}, {&topText, 0, 100}, {&bottomText, 140, 240}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(sceneLayers[i].effect, expected[i].effect);
        EXPECT_EQ(sceneLayers[i].firstRow, expected[i].first);
        EXPECT_EQ(sceneLayers[i].endRow, expected[i].end);
    }
}

TEST(Timeline, DemoTimeCountsFromTheStartTick) {
    VirtualHost host;
    host.clock = 5000;
    host.onFrame = [](VirtualHost& h, int frame) {
        if (frame == 0) {
            EXPECT_EQ(demoTime.load(), 0.0f);
        }
        if (frame == 1) {
            EXPECT_EQ(demoTime.load(), 250.0f);
        }
        h.clock += 250;
        if (frame == 1) h.PressKey(VK_ESCAPE);
    };
    ASSERT_EQ(host.Run(), 0);
    EXPECT_EQ(startTick, 5000.0f);
}

TEST(Timeline, BeforeTheFirstCountOnlyTheBumpSceneDrawsAndTheFrameStartsBlack) {
    VirtualHost host;
    host.onFrame = [](VirtualHost& h, int frame) {
        if (frame == 2) h.PressKey(VK_ESCAPE);
    };
    ASSERT_EQ(host.Run(), 0);
    EXPECT_EQ(handledSync, 0);
    EXPECT_GE(host.callCount("Blt"), 3);  // the colour fill of every frame
}

}  // namespace
