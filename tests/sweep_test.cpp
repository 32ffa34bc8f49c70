// The logo sweep: when a run draws, how the logo fades in by phase, where the scan lines stand and
// which logo pixels cast rays, and the logo resource.
#include "effects/sweep.h"

#include <gtest/gtest.h>

#include "tests/effect_fixture.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "app/shell.h"
#include "effects/effects.h"
#include "platform/virtual/virtual_host.h"

namespace {

constexpr int logoWidth = 320;
constexpr int logoHeight = 70;
using Logo = std::vector<std::uint8_t>;

// The start-up set-up: a 320x70 logo centred at (160, 120), so it covers screen rows 85..154.
class SweepTest : public EffectTest {
protected:
    int SetUpWith(const std::optional<Logo>& logo) {
        host.resources[IDR_LOGO] = logo;
        const int result = sweep.Setup(logoWidth, logoHeight, IDR_LOGO);
        sweep.centerX = 160;
        sweep.centerY = 120;
        sweep.rayFade = 4;
        return result;
    }

    std::string LastMessage() const { return host.boxes.empty() ? "" : host.boxes.back().text; }
};

Logo Filled(std::uint8_t value) { return Logo(logoWidth * logoHeight, value); }

int LitPixels(const std::uint8_t* plane) {
    return static_cast<int>(std::count_if(plane, plane + planeSize, [](std::uint8_t v) { return v != 0; }));
}

TEST_F(SweepTest, PaletteRunsFromBlackThroughRedToNearlyWhite) {
    ASSERT_EQ(SetUpWith(Filled(0)), 1);
    ASSERT_EQ(sweep.Render(0), 1);
    EXPECT_EQ(sweep.palette[0], 0x000000u);
    EXPECT_EQ(sweep.palette[1], 0x020000u);
    EXPECT_EQ(sweep.palette[127], 0xFE0000u);
    EXPECT_EQ(sweep.palette[128], 0xFF0000u);
    EXPECT_EQ(sweep.palette[255], 0xFFFEFEu);
}

TEST_F(SweepTest, LogoFadesInFromPhase36AndIsFullFromPhase163) {
    ASSERT_EQ(SetUpWith(Filled(255)), 1);
    struct Case {
        int phase, value;  // a logo byte of 255 at brightness 2 * (phase - 35), at most 255
    };
    for (const Case& c :
         {Case{0, 0}, Case{35, 0}, Case{36, 1}, Case{69, 67}, Case{162, 253}, Case{163, 254}, Case{5000, 254}}) {
        ClearPlane(sweep.canvas);
        sweep.DrawLogo(c.phase);
        EXPECT_EQ(sweep.canvas[85 * 320 + 0], c.value) << c.phase;
        EXPECT_EQ(sweep.canvas[154 * 320 + 319], c.value) << c.phase;
        EXPECT_EQ(LitPixels(sweep.canvas), c.value ? logoWidth * logoHeight : 0) << c.phase;
    }
}

// A centre nearer an edge than half the logo draws the part of the logo inside the plane and nothing
// else: no row wraps onto the next and nothing lands outside.
TEST_F(SweepTest, LogoNearAnEdgeDrawsOnlyItsPartInsideThePlane) {
    ASSERT_EQ(SetUpWith(Filled(255)), 1);
    struct Case {
        int centerX, centerY;
        int left, top, right, bottom;  // the lit screen rectangle, right and bottom exclusive
    };
    for (const Case& c : {Case{0, 0, 0, 0, 160, 35}, Case{320, 240, 160, 205, 320, 240}, Case{100, 10, 0, 0, 260, 45},
                          Case{160, 300, 0, 0, 0, 0}, Case{-200, 120, 0, 0, 0, 0}}) {
        sweep.centerX = c.centerX;
        sweep.centerY = c.centerY;
        ClearPlane(sweep.canvas);
        sweep.DrawLogo(200);
        const int area = (c.right - c.left) * (c.bottom - c.top);
        EXPECT_EQ(LitPixels(sweep.canvas), area) << c.centerX << "," << c.centerY;
        if (area) {
            EXPECT_EQ(sweep.canvas[c.top * 320 + c.left], 254) << c.centerX << "," << c.centerY;
            EXPECT_EQ(sweep.canvas[(c.bottom - 1) * 320 + c.right - 1], 254) << c.centerX << "," << c.centerY;
        }
    }
}

// From an empty accum one frame leaves the logo at the phase's brightness, decayed and blurred.
TEST_F(SweepTest, RenderTakesItsPhaseFrom75MillisecondSteps) {
    ASSERT_EQ(SetUpWith(Filled(255)), 1);
    sweep.startTime = 1000;
    struct Case {
        std::int32_t rel;
        std::uint8_t logo;  // 255 at brightness 254 (phase 162) or 255 (phase 163)
    };
    for (const Case& c : {Case{163 * 75 - 1, 253}, Case{163 * 75, 254}}) {
        std::vector<std::uint8_t> drawn(planeSize, 0), expected(planeSize, 0);
        std::fill(drawn.begin() + 85 * 320, drawn.begin() + 155 * 320, c.logo);
        BlendPlanes(expected.data(), drawn.data(), 192, 255, 0, planeHeight);
        BlurPlane(expected.data(), expected.data(), 0, planeHeight);
        ClearPlane(sweep.accum);
        ASSERT_EQ(sweep.Render(1000 + c.rel), 1);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), sweep.accum)) << c.rel;
        EXPECT_EQ(LitPixels(sweep.canvas), 0);  // the frame's scratch plane is cleared at its end
    }
}

// A logo lit in one column, except in the row the horizontal line reads, casts rays only when a
// vertical line stands on that column.
TEST_F(SweepTest, VerticalLinesStandOnTheirColumnsForEachPhase) {
    ASSERT_EQ(SetUpWith(Filled(0)), 1);
    struct Case {
        int phase, right, left;
    };
    for (const Case& c : {Case{0, 160, 160}, Case{1, 162, 158}, Case{35, 240, 80}, Case{69, 317, 3}}) {
        for (int column : {c.right - 1, c.right, c.right + 1, c.left - 1, c.left, c.left + 1}) {
            std::fill(sweep.logo, sweep.logo + logoWidth * logoHeight, 0);
            for (int row = 0; row < logoHeight; ++row)
                if (row != c.phase) sweep.logo[row * logoWidth + column] = 200;
            ClearPlane(sweep.canvas);
            sweep.CastRays(c.phase);
            const bool onLine = column == c.right || column == c.left;
            EXPECT_EQ(LitPixels(sweep.canvas) > 0, onLine) << "phase " << c.phase << " column " << column;
        }
    }
}

TEST_F(SweepTest, NoRaysFromPhase70On) {
    ASSERT_EQ(SetUpWith(Filled(255)), 1);
    sweep.CastRays(69);
    EXPECT_GT(LitPixels(sweep.canvas), 0);
    for (int phase : {70, 71, 1000}) {
        ClearPlane(sweep.canvas);
        sweep.CastRays(phase);
        EXPECT_EQ(LitPixels(sweep.canvas), 0) << phase;
    }
}

// Logo row 20 is lit away from the columns where the vertical lines stand at phases 10 and 20.
TEST_F(SweepTest, HorizontalLineOverAnEmptyLogoRowCastsNoRay) {
    Logo logo = Filled(0);
    for (int column = 0; column < logoWidth; ++column)
        if (column != 182 && column != 138 && column != 205 && column != 115) logo[20 * logoWidth + column] = 255;
    ASSERT_EQ(SetUpWith(logo), 1);
    sweep.CastRays(10);
    EXPECT_EQ(LitPixels(sweep.canvas), 0);
    sweep.CastRays(20);
    EXPECT_GT(LitPixels(sweep.canvas), 0);
}

// One lit pixel on the centre row or in the centre column: its first ray runs straight away from the
// centre and fades by rayFade per pixel, 64 pixels from 255 down to 3.
TEST_F(SweepTest, RaysOnTheCentreLinesRunStraightAndFadeBy4PerPixel) {
    struct Case {
        int row, column, phase;  // the phase puts a scan line on the pixel
        int x, y, stepX, stepY;  // screen start and direction
    };
    ASSERT_EQ(SetUpWith(Filled(0)), 1);
    for (const Case& c : {Case{35, 101, 26, 101, 120, -1, 0}, Case{10, 160, 10, 160, 95, 0, -1}}) {
        std::fill(sweep.logo, sweep.logo + logoWidth * logoHeight, 0);
        sweep.logo[c.row * logoWidth + c.column] = 255;
        ClearPlane(sweep.canvas);
        sweep.CastRays(c.phase);
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(sweep.canvas[(c.y + i * c.stepY) * 320 + c.x + i * c.stepX], 255 - 4 * i) << c.column << " " << i;
        EXPECT_EQ(sweep.canvas[(c.y + 64 * c.stepY) * 320 + c.x + 64 * c.stepX], 0) << c.column;
    }
}

TEST_F(SweepTest, MissingOrShortLogoIsReportedAndEndsSetup) {
    EXPECT_EQ(SetUpWith(std::nullopt), 0);
    EXPECT_EQ(LastMessage(), "Sweep> FindResource FAILED");
    EXPECT_EQ(SetUpWith(Logo(logoWidth * logoHeight - 1, 7)), 0);
    EXPECT_EQ(LastMessage(), "Sweep> LoadResource FAILED");
    EXPECT_EQ(sweep.surface, nullptr);
}

TEST_F(SweepTest, RepeatedSetupRenewsTheSurfaceAndKeepsTheLogo) {
    ASSERT_EQ(SetUpWith(Filled(5)), 1);
    const std::uint8_t* first = sweep.logo;
    sweep.endTime = 1234;
    ASSERT_EQ(SetUpWith(Filled(6)), 1);
    EXPECT_EQ(sweep.logo, first);
    EXPECT_EQ(sweep.logo[0], 5);
    EXPECT_EQ(sweep.endTime, never);
    EXPECT_EQ(host.callCount("CreateSurface"), 2);
    EXPECT_EQ(host.callCount("FindResourceA"), 1);
}

}  // namespace
