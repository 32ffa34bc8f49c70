// What every effect does alike: a surface that cannot be created is reported and leaves the effect
// without one, and a scene draws from its start time on, through its end time inclusive.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "effects/effects.h"
#include "effects/font.h"
#include "tests/effect_fixture.h"

namespace {

// An effect as the start-up prepares it, with the resources it loads in place.
struct EffectCase {
    const char* name;  // as the effect reports itself
    Effect* effect;
    int (*setUp)(qhost::VirtualHost&);
    HRESULT createFailure;  // what the failing CreateSurface returns
};

int SetUpSweep(qhost::VirtualHost& host) {
    host.resources[IDR_LOGO] = std::vector<std::uint8_t>(320 * 70, 1);
    const int result = sweep.Setup(320, 70, IDR_LOGO);
    sweep.centerX = 160;  // where the start-up places it
    sweep.centerY = 120;
    sweep.rayFade = 4;
    return result;
}

int SetUpBump(qhost::VirtualHost& host) {
    host.resources[IDR_RELIEF_A] = std::vector<std::uint8_t>(planeSize, 0);
    host.resources[IDR_RELIEF_B] = std::vector<std::uint8_t>(planeSize, 0);
    return bump.Init();
}

int SetUpText(qhost::VirtualHost&) { return LoadFont() == 1 ? topText.Setup(1) : 0; }

int SetUpFlash(qhost::VirtualHost&) {
    if (flash.Init() != 1) return 0;
    flash.red = flash.green = flash.blue = 255;
    flash.fadeRate = 0.05f;
    return 1;
}

const EffectCase effects[] = {
    {"GlowingDotObject", &dotCube, [](qhost::VirtualHost&) { return dotCube.Init(); }, DDERR_OUTOFMEMORY},
    {"Sweep", &sweep, SetUpSweep, DDERR_GENERIC},
    {"MagneticField", &field, [](qhost::VirtualHost&) { return field.Init(); }, DDERR_OUTOFMEMORY},
    {"ScreenFlash", &flash, SetUpFlash, DDERR_OUTOFMEMORY},
    {"MotionText", &topText, SetUpText, DDERR_OUTOFMEMORY},
    {"BumpedSurface", &bump, SetUpBump, DDERR_GENERIC},
};

std::string NameOf(const testing::TestParamInfo<EffectCase>& info) { return info.param.name; }

class EveryEffect : public EffectTest, public testing::WithParamInterface<EffectCase> {};

TEST_P(EveryEffect, FailedCreateSurfaceIsReportedAndLeavesNoSurface) {
    const EffectCase c = GetParam();
    host.FailCall("CreateSurface", c.createFailure);
    EXPECT_EQ(c.setUp(host), 0);
    EXPECT_EQ(c.effect->surface, nullptr);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, std::string(c.name) + "> CreateSurface FAILED");
}

INSTANTIATE_TEST_SUITE_P(Each, EveryEffect, testing::ValuesIn(effects), NameOf);

// A scene's start time, and its end time (unsigned, inclusive) where it has one: the first three.
struct TimedCase {
    EffectCase effect;
    void (*setStart)(std::int32_t);
    std::uint32_t* endTime;
};

const TimedCase timedEffects[] = {
    {effects[0], [](std::int32_t t) { dotCube.startTime = t; }, &dotCube.endTime},
    {effects[1], [](std::int32_t t) { sweep.startTime = t; }, &sweep.endTime},
    {effects[2], [](std::int32_t t) { field.startTime = t; }, &field.endTime},
    {effects[3], [](std::int32_t t) { flash.startTime = t; }, nullptr},
    {effects[4], [](std::int32_t t) { topText.startTime = t; }, nullptr},
};
const TimedCase* const endedEffects = timedEffects + 3;

std::string TimedNameOf(const testing::TestParamInfo<TimedCase>& info) { return info.param.effect.name; }

class EveryScene : public EffectTest, public testing::WithParamInterface<TimedCase> {};

TEST_P(EveryScene, DrawsFromItsStartTimeOnAndNotOneMillisecondBefore) {
    const TimedCase c = GetParam();
    ASSERT_EQ(c.effect.setUp(host), 1);
    c.setStart(5000);
    EXPECT_EQ(c.effect.effect->Render(4999), 0);
    EXPECT_EQ(c.effect.effect->Render(5000), 1);
}

class EveryEndedScene : public EveryScene {};

TEST_P(EveryEndedScene, DrawsThroughItsEndTimeInclusiveAndNeverEndsUntilTheSequencerSetsAnEnd) {
    const TimedCase c = GetParam();
    ASSERT_EQ(c.effect.setUp(host), 1);
    EXPECT_EQ(*c.endTime, never);
    EXPECT_EQ(c.effect.effect->Render(0x7FFFFFFF), 1);
    c.setStart(5000);
    *c.endTime = 9000;
    const struct {
        std::int32_t time;
        int drawn;
    } frames[] = {{4999, 0}, {5000, 1}, {9000, 1}, {9001, 0}, {-1, 0}};  // -1 lies after the end, unsigned
    for (const auto& f : frames) EXPECT_EQ(c.effect.effect->Render(f.time), f.drawn) << f.time;
    *c.endTime = never;
    EXPECT_EQ(c.effect.effect->Render(0x7FFFFFFF), 1);
}

INSTANTIATE_TEST_SUITE_P(Each, EveryScene, testing::ValuesIn(timedEffects), TimedNameOf);
INSTANTIATE_TEST_SUITE_P(WithAnEnd, EveryEndedScene, testing::ValuesIn(timedEffects, endedEffects), TimedNameOf);

}  // namespace
