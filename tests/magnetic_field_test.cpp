// The field-line scene: when it draws, its drifting palette, where the poles stand and how a field
// sum becomes a line.
#include "effects/field_colours.h"

#include <gtest/gtest.h>

#include "tests/effect_fixture.h"

#include <algorithm>
#include <cstdint>

#include "app/shell.h"
#include "effects/effects.h"
#include "platform/virtual/virtual_host.h"
#include "render/tables.h"

namespace {

class MagneticFieldTest : public EffectTest {
protected:
};

std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r << 16 | g << 8 | b; }

// The summed field at one point, in 1/256 pixel, from the kernel the scene sums its grid with; a pole
// on the point or next to it adds nothing.
void FieldAt(std::int32_t x, std::int32_t y, const std::int32_t poleX[poleCount], const std::int32_t poleY[poleCount],
             std::int32_t& sumX, std::int32_t& sumY) {
    SumPoleFields(&x, &y, 1, poleX, poleY, poleCount, &sumX, &sumY);
}

TEST_F(MagneticFieldTest, AnOpenEndDrawsUpToTheLastMillisecond) {
    ASSERT_EQ(field.Init(), 1);
    field.startTime = INT32_MIN;  // 0x80000000
    for (std::uint32_t time : {0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu})
        EXPECT_EQ(field.Render(static_cast<std::int32_t>(time)), 1) << time;
    // More than 2^31 ms after the start the difference wraps negative.
    EXPECT_EQ(field.Render(0), 0);
}

TEST_F(MagneticFieldTest, PaletteAtTimeZeroRampsThroughTheTintToNearlyWhite) {
    const Tint tint = DriftTint(0);
    EXPECT_EQ(tint.red, 255);
    EXPECT_EQ(tint.green, 255);
    EXPECT_EQ(tint.blue, 127);
    std::uint32_t palette[256];
    BuildTintPalette(palette, tint);
    EXPECT_EQ(palette[0], 0u);
    EXPECT_EQ(palette[127], Rgb(253, 253, 126));
    EXPECT_EQ(palette[128], Rgb(255, 255, 127));
    EXPECT_EQ(palette[255], Rgb(255, 255, 254));

    ASSERT_EQ(field.Init(), 1);
    field.startTime = 700;
    ASSERT_EQ(field.Render(700), 1);
    EXPECT_TRUE(std::equal(palette, palette + 256, field.palette));
}

TEST_F(MagneticFieldTest, PolesAtTimeZero) {
    std::int32_t x[poleCount], y[poleCount];
    PolePositions(0, x, y);
    struct Spot {
        std::int32_t x, y;
    };
    const Spot expected[poleCount] = {{330, 120}, {160, 247}, {160, 120}, {330, 120}, {160, 120},
                                      {330, 120}, {160, 247}, {160, 247}, {330, 120}, {330, 120}};
    for (int k = 0; k < poleCount; ++k) {
        EXPECT_EQ(x[k], expected[k].x) << "pole " << k;
        EXPECT_EQ(y[k], expected[k].y) << "pole " << k;
    }
}

TEST_F(MagneticFieldTest, PolesStayInTheirRangesAndSomeShareACoordinate) {
    for (std::int32_t t : {1, 299, 1234, 3599, 3600, 99991, 1000000, 0x7FFFFFFF}) {
        std::int32_t x[poleCount], y[poleCount];
        PolePositions(t, x, y);
        for (int k = 0; k < poleCount; ++k) {
            EXPECT_GE(x[k], -9) << t;
            EXPECT_LE(x[k], 330) << t;
            EXPECT_GE(y[k], -7) << t;
            EXPECT_LE(y[k], 247) << t;
        }
        EXPECT_EQ(y[5], y[0]) << t;
        EXPECT_EQ(y[6], y[1]) << t;
        EXPECT_EQ(x[6], x[7]) << t;
    }
}

TEST_F(MagneticFieldTest, PolesOnTheGridPointAddNothing) {
    std::int32_t x[poleCount], y[poleCount];
    PolePositions(0, x, y);
    std::int32_t sumX, sumY;
    FieldAt(160, 120, x, y, sumX, sumY);

    // The same sum from the other eight poles alone.
    std::int32_t expectedX = 0, expectedY = 0;
    for (int k = 0; k < poleCount; ++k) {
        if (k == 2 || k == 4) continue;
        const std::int32_t dx = 160 - x[k], dy = 120 - y[k];
        const std::int32_t q = (dx * dx + dy * dy) >> 1;
        expectedX += dx * 65536 / q;
        expectedY += dy * 65536 / q;
    }
    EXPECT_EQ(sumX, expectedX);
    EXPECT_EQ(sumY, expectedY);
    // Five poles at (330, 120): 5 * (-170 * 65536 / 14450) = 5 * -771; three at (160, 247): 3 * (-127 * 65536 / 8064).
    EXPECT_EQ(sumX, -3855);
    EXPECT_EQ(sumY, -3096);
}

TEST_F(MagneticFieldTest, PoleOnePixelAwayAddsNothingButTwoPixelsAddsMost) {
    // Every far pole at (1000, 1000) adds the same amount to the sums at (100, 50).
    std::int32_t farX[poleCount], farY[poleCount];
    std::fill(farX, farX + poleCount, 1000);
    std::fill(farY, farY + poleCount, 1000);
    std::int32_t oneX, oneY;
    FieldAt(100, 50, farX, farY, oneX, oneY);
    oneX /= poleCount;
    oneY /= poleCount;

    std::int32_t x[poleCount], y[poleCount], sumX, sumY;
    std::copy(farX, farX + poleCount, x);
    std::copy(farY, farY + poleCount, y);
    const std::int32_t neighbourX[4] = {101, 100, 99, 100}, neighbourY[4] = {50, 51, 50, 49};
    std::copy(neighbourX, neighbourX + 4, x);
    std::copy(neighbourY, neighbourY + 4, y);
    FieldAt(100, 50, x, y, sumX, sumY);
    EXPECT_EQ(sumX, 6 * oneX);
    EXPECT_EQ(sumY, 6 * oneY);

    std::copy(farX, farX + poleCount, x);
    std::copy(farY, farY + poleCount, y);
    x[0] = 98;
    y[0] = 50;
    FieldAt(100, 50, x, y, sumX, sumY);
    EXPECT_EQ(sumX - 9 * oneX, 65536);  // dx 2, q 2
    EXPECT_EQ(sumY, 9 * oneY);
}

TEST_F(MagneticFieldTest, FieldSumBelowOnePixelDrawsASinglePixelOf64) {
    struct Case {
        std::int32_t sumX, sumY;
        int pixels;
    };
    for (const Case& c : {Case{0, 0, 1}, Case{255, 255, 1}, Case{255, 0, 1}, Case{256, 0, 2}, Case{-1, 0, 2}}) {
        static std::uint8_t canvas[planeSize];
        std::fill(canvas, canvas + planeSize, 0);
        DrawFieldLine(160, 120, c.sumX, c.sumY, canvas);
        EXPECT_EQ(canvas[120 * planeWidth + 160], 64) << c.sumX << "," << c.sumY;
        EXPECT_EQ(std::count_if(canvas, canvas + planeSize, [](std::uint8_t v) { return v != 0; }), c.pixels)
            << c.sumX << "," << c.sumY;
    }
}

TEST_F(MagneticFieldTest, FieldLineFarOffScreenStopsAfter33Pixels) {
    static std::uint8_t canvas[planeSize];
    DrawFieldLine(0, 0, 65536 * 5, 0, canvas);
    EXPECT_EQ(std::count_if(canvas, canvas + planeSize, [](std::uint8_t v) { return v != 0; }), 32);  // the 33rd is 0
    EXPECT_EQ(canvas[31], 2);
}

TEST_F(MagneticFieldTest, LockFailureStillDrawsAndClearsTheCanvas) {
    ASSERT_EQ(field.Init(), 1);
    host.FailCall("Lock", DDERR_SURFACELOST);
    EXPECT_EQ(field.Render(0), 1);
    EXPECT_TRUE(std::all_of(field.canvas, field.canvas + planeSize, [](std::uint8_t v) { return v == 0; }));
    EXPECT_TRUE(std::any_of(field.accum, field.accum + planeSize, [](std::uint8_t v) { return v != 0; }));
    EXPECT_TRUE(host.boxes.empty());
}

}  // namespace
