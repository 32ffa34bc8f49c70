// The dot cube: when it draws, its pulse, angles and tint, the wrapped streak ends and the dot set.
#include "effects/glowing_dot_object.h"

#include <gtest/gtest.h>

#include "tests/effect_fixture.h"

#include <algorithm>
#include <cstdint>
#include <random>

#include "app/shell.h"
#include "effects/effects.h"
#include "effects/field_colours.h"
#include "platform/virtual/virtual_host.h"
#include "render/tables.h"

namespace {

class GlowingDotObjectTest : public EffectTest {
protected:
};

TEST_F(GlowingDotObjectTest, AtTimeZeroAllAnglesAre2437AndTheTintIsYellowish) {
    std::int32_t angles[3];
    RotationAngles(0, angles);
    EXPECT_EQ(angles[0], 2437);
    EXPECT_EQ(angles[1], 2437);
    EXPECT_EQ(angles[2], 2437);

    ASSERT_EQ(dotCube.Init(), 1);
    dotCube.startTime = 300;
    ASSERT_EQ(dotCube.Render(300), 1);
    EXPECT_EQ(dotCube.tint[0], 255);
    EXPECT_EQ(dotCube.tint[1], 255);
    EXPECT_EQ(dotCube.tint[2], 127);
    EXPECT_EQ(dotCube.palette[128], 0xFFFF7Fu);
}

TEST_F(GlowingDotObjectTest, AnglesStayInTheTableForAnyTime) {
    for (std::int32_t t : {1, 7, 3599, 7200, 1073741823, 1073741824, 0x7FFFFFFF}) {
        std::int32_t angles[3];
        RotationAngles(t, angles);
        for (std::int32_t a : angles) {
            EXPECT_GE(a, 0) << t;
            EXPECT_LT(a, 3600) << t;
        }
    }
}

TEST_F(GlowingDotObjectTest, PulseFallsEveryThreeMillisecondsToFiftyAndRepeatsEvery400) {
    struct Case {
        std::uint32_t sinceBeat;
        std::int32_t length;
    };
    const Case cases[] = {{0, 150},
                          {1, 150},
                          {2, 150},
                          {3, 149},
                          {5, 149},
                          {6, 148},
                          {299, 51},
                          {300, 50},
                          {399, 50},
                          {400, 150},
                          {403, 149},
                          // A beat 1 ms ahead: 2^32 mod 400 is 96, so 2^32 - 1 falls 95 ms into a cycle.
                          {0xFFFFFFFFu, 119}};
    for (const Case& c : cases) EXPECT_EQ(PulseLengthAfter(c.sinceBeat), c.length) << c.sinceBeat;
}

TEST_F(GlowingDotObjectTest, RenderTakesThePulseFromTheLastBeat) {
    ASSERT_EQ(dotCube.Init(), 1);
    dotCube.startTime = 1000;
    dotCube.beatTime = 10;
    ASSERT_EQ(dotCube.Render(1013), 1);  // 3 ms after the beat
    EXPECT_EQ(pulseLength, 149);
    dotCube.beatTime = 4;  // a beat 1 ms ahead of the effect time
    ASSERT_EQ(dotCube.Render(1003), 1);
    EXPECT_EQ(pulseLength, 119);
}

TEST_F(GlowingDotObjectTest, WrappedStreakEndsStayInTheirBand) {
    std::mt19937 generator(1234);
    std::uniform_int_distribution<std::int32_t> lengths(255, 480), scales(-2000, 2000), coordinates(-60000, 60000);
    for (int n = 0; n < 100000; ++n) {
        const std::int32_t offset = StreakEndOffset(lengths(generator), scales(generator), coordinates(generator));
        ASSERT_GE(offset + 160, 32);
        ASSERT_LE(offset + 160, 287);
        ASSERT_GE(offset + 120, -8);
        ASSERT_LE(offset + 120, 247);
    }
    // 400 * 268 * 37000 passes 2^31 and comes back negative.
    EXPECT_EQ(StreakEndOffset(400, 268, 37000), static_cast<std::int32_t>(400u * 268u * 37000u) >> 24);
    EXPECT_LT(StreakEndOffset(400, 268, 37000), 0);
    EXPECT_EQ(StreakEndOffset(300, 127, 10000), 300 * 127 * 10000 >> 24);
}

TEST_F(GlowingDotObjectTest, DotSetRampsAlongTheEdgesAndOnlyTheLastRowsWrap) {
    ASSERT_EQ(dotCube.Init(), 1);
    int wrapped = 0;
    for (int e = 0; e < 12; ++e) {
        for (int i = 0; i < 100; ++i) {
            const Dot& dot = dotCube.dots[100 * e + i];
            const std::uint16_t coordinates[3] = {dot.x, dot.y, dot.z};
            const std::uint16_t v = coordinates[e / 4];
            EXPECT_LE(v, 254);
            // The two fixed coordinates, in axis order, sit at 0 or 255 by bits 0 and 1 of the edge.
            std::uint16_t fixed[2];
            int n = 0;
            for (int axis = 0; axis < 3; ++axis)
                if (axis != e / 4) fixed[n++] = coordinates[axis];
            EXPECT_EQ(fixed[0], (e & 1) * 255) << e;
            EXPECT_EQ(fixed[1], ((e >> 1) & 1) * 255) << e;
            if (i < 97) {
                EXPECT_GE(v, static_cast<int>(i * 2.55)) << e << "," << i;
                EXPECT_LT(v, i * 2.55 + 10.0) << e << "," << i;
            } else if (v < 8) {
                ++wrapped;
            }
        }
    }
    EXPECT_GT(wrapped, 0);
}

TEST_F(GlowingDotObjectTest, CreateSurfaceFailureBuildsNoDots) {
    host.FailCall("CreateSurface", DDERR_OUTOFMEMORY);
    EXPECT_EQ(dotCube.Init(), 0);
    EXPECT_TRUE(std::all_of(std::begin(dotCube.dots), std::end(dotCube.dots),
                            [](const Dot& d) { return d.x == 0 && d.y == 0 && d.z == 0; }));
}
}  // namespace
