// The relief scene: its light map, the palette through fade-in and fade-out, the cross-fade of the
// two height pictures, the lit spot and its displacement by slopes, and the picture resources.
#include "effects/bumped_surface.h"

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
#include "render/tables.h"

namespace {

using Picture = std::vector<std::uint8_t>;

class BumpedSurfaceTest : public EffectTest {
protected:
    int InitWith(const Picture& a, const Picture& b) {
        host.resources[IDR_RELIEF_A] = a;
        host.resources[IDR_RELIEF_B] = b;
        return bump.Init();
    }

    std::string LastMessage() const { return host.boxes.empty() ? "" : host.boxes.back().text; }
};

Picture Flat(std::uint8_t height) { return Picture(planeSize, height); }

std::uint8_t LightAt(int i, int j) { return bump.lightMap[(j + 128) * 256 + i + 128]; }

std::uint32_t Level() { return bump.palette[255] & 0xFF; }  // entry 255's blue is the level itself

TEST_F(BumpedSurfaceTest, LightMapFallsBy2Point5PerPixelOfDistanceFromItsCentre) {
    ASSERT_EQ(InitWith(Flat(0), Flat(0)), 1);
    struct Case {
        int i, j, light;
    };
    for (const Case& c :
         {Case{0, 0, 255}, Case{1, 0, 252}, Case{0, -1, 252}, Case{3, 4, 242}, Case{-4, 3, 242}, Case{100, 0, 5},
          Case{0, -100, 5}, Case{101, 0, 2}, Case{-102, 0, 0}, Case{-128, -128, 0}, Case{127, 127, 0}})
        EXPECT_EQ(LightAt(c.i, c.j), c.light) << c.i << "," << c.j;
    EXPECT_EQ(std::count_if(bump.lightMap, bump.lightMap + 65536, [](std::uint8_t v) { return v != 0; }), 32441);
}

TEST_F(BumpedSurfaceTest, PaletteRisesOneLevelPer75MillisecondsAndStaysFrom19200) {
    ASSERT_EQ(InitWith(Flat(0), Flat(0)), 1);
    ASSERT_EQ(bump.Render(0), 1);
    EXPECT_TRUE(std::all_of(bump.palette, bump.palette + 256, [](std::uint32_t e) { return e == 0; }));
    bump.Render(75);
    EXPECT_EQ(Level(), 1u);
    EXPECT_EQ(bump.palette[127], 0x000000u);  // (127 * 1) >> 7 is still 0
    bump.Render(19199);
    EXPECT_EQ(bump.palette[0], 0x000000u);
    EXPECT_EQ(bump.palette[127], 0x007EFDu);
    EXPECT_EQ(bump.palette[128], 0x007FFFu);
    EXPECT_EQ(bump.palette[255], 0xFDFEFFu);
    bump.Render(150);
    EXPECT_EQ(Level(), 2u);
    bump.Render(19200);
    EXPECT_EQ(Level(), 2u);
    bump.Render(40000);
    EXPECT_EQ(Level(), 2u);
}

TEST_F(BumpedSurfaceTest, ClockBeforeZeroKeepsThePaletteBlack) {
    ASSERT_EQ(InitWith(Flat(0), Flat(0)), 1);
    bump.Render(19199);
    ASSERT_EQ(bump.Render(-1000), 1);
    EXPECT_TRUE(std::all_of(bump.palette, bump.palette + 256, [](std::uint32_t e) { return e == 0; }));
}

TEST_F(BumpedSurfaceTest, FadeOutLowersTheLevelBy8Per75MillisecondsThenStopsDrawing) {
    ASSERT_EQ(InitWith(Flat(0), Flat(0)), 1);
    bump.fadeOutStart = 30000;
    struct Case {
        std::int32_t time;
        int drawn;
        std::uint32_t level;
    };
    // Each frame starts from level 100, which only a fade-out frame replaces.
    for (const Case& c : {Case{30000, 1, 100}, Case{30001, 1, 255}, Case{30075, 1, 248}, Case{32400, 1, 0},
                          Case{32401, 0, 100}, Case{40000, 0, 100}}) {
        bump.BuildPalette(100);
        EXPECT_EQ(bump.Render(c.time), c.drawn) << c.time;
        EXPECT_EQ(Level(), c.level) << c.time;
    }
}

TEST_F(BumpedSurfaceTest, FadeOutPaletteReplacesTheFadeInOfTheSameFrame) {
    ASSERT_EQ(InitWith(Flat(0), Flat(0)), 1);
    bump.fadeOutStart = 1000;
    ASSERT_EQ(bump.Render(1075), 1);
    EXPECT_EQ(Level(), 248u);
}

TEST_F(BumpedSurfaceTest, CrossFadeBlendsTheHeightsOver9600Milliseconds) {
    ASSERT_EQ(InitWith(Flat(200), Flat(100)), 1);
    struct Case {
        std::uint32_t time;
        int height;  // the weights (255, 0), (128, 128), (0, 255) on 200 and 100
    };
    const Case before[] = {{0, 200}, {4999, 200}, {0x7FFFFFFF, 200}};
    for (const Case& c : before) {  // crossfadeStart still -1: pictureA for ever
        bump.ComposeHeights(c.time);
        EXPECT_EQ(bump.accum[0], c.height) << c.time;
    }
    bump.crossfadeStart = 5000;
    for (const Case& c :
         {Case{4999, 200}, Case{5000, 199}, Case{9800, 150}, Case{14599, 99}, Case{14600, 100}, Case{99999, 100}}) {
        bump.ComposeHeights(c.time);
        EXPECT_EQ(bump.accum[0], c.height) << c.time;
        EXPECT_EQ(bump.accum[planeSize - 1], c.height) << c.time;
    }
}

TEST_F(BumpedSurfaceTest, EveryFrameEndsWithAnEmptyAccum) {
    ASSERT_EQ(InitWith(Flat(200), Flat(100)), 1);
    ASSERT_EQ(bump.Render(5000), 1);
    EXPECT_TRUE(std::all_of(bump.accum, bump.accum + planeSize, [](std::uint8_t v) { return v == 0; }));
}

// The light offsets by the table entries that time selects: (t / 2) mod 3600 and (t / 3) mod 3600.
TEST_F(BumpedSurfaceTest, FlatPictureShowsTheUndisturbedSpotOneRowUp) {
    ASSERT_EQ(InitWith(Flat(77), Flat(77)), 1);
    struct Case {
        std::int32_t time;
        int cosIndex, sinIndex;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{10000, 1400, 3333}, Case{-1000, 3100, 3267}}) {
        std::memset(bump.canvas, 0, planeSize);
        ASSERT_EQ(bump.Render(c.time), 1);
        const int lx = cosTable[c.cosIndex] >> 2;
        const int ly = sinTable[c.sinIndex] >> 2;
        int mismatches = 0;
        for (int y = 1; y < 239; ++y) {
            for (int x = 0; x < 320; ++x) {
                const int u = (x >> 1) - lx + 64;
                const int w = (y >> 1) - ly + 64;
                const int expected = u >= 0 && u <= 255 && w >= 0 && w <= 255 ? bump.lightMap[w * 256 + u] : 0;
                mismatches += bump.canvas[(y - 1) * 320 + x] != expected;
            }
        }
        EXPECT_EQ(mismatches, 0) << c.time;
        EXPECT_TRUE(
            std::all_of(bump.canvas + 238 * 320, bump.canvas + planeSize, [](std::uint8_t v) { return v == 0; }));
    }
    DDSURFACEDESC2 description;
    ASSERT_EQ(LockWhole(bump.surface, description), DD_OK);
    const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(description.lpSurface) +
                                                             100 * description.lPitch);
    EXPECT_EQ(row[200], bump.palette[bump.canvas[100 * 320 + 200]]);
    bump.surface->Unlock(nullptr);
}

// At t = 0 the light stands at lx = 63 (cos 255 >> 2), ly = 0, so pixel (x, 120) reads lightMap row 124,
// column (x >> 1) + 1 plus its slope's shift.
TEST_F(BumpedSurfaceTest, SteepestSlopesShiftTheLookupBy63AndMinus64Columns) {
    Picture ridge = Flat(0);
    ridge[120 * 320 + 250] = 255;
    ASSERT_EQ(InitWith(ridge, ridge), 1);
    ASSERT_EQ(cosTable[0] >> 2, 63);
    ASSERT_EQ(bump.Render(0), 1);
    EXPECT_EQ(bump.canvas[119 * 320 + 251], bump.lightMap[124 * 256 + 126 + 63]);  // left neighbour 255 higher
    EXPECT_EQ(bump.canvas[119 * 320 + 249], bump.lightMap[124 * 256 + 125 - 64]);  // right neighbour 255 higher
    EXPECT_NE(bump.canvas[119 * 320 + 251], bump.lightMap[124 * 256 + 126]);
    EXPECT_NE(bump.canvas[119 * 320 + 249], bump.lightMap[124 * 256 + 125]);
}

TEST_F(BumpedSurfaceTest, MissingOrShortPictureIsReportedAndEndsInit) {
    struct Case {
        int id;
        std::optional<Picture> bytes;
        const char* message;
    };
    const Case cases[] = {{IDR_RELIEF_A, std::nullopt, "BumpedSurface> FindResource FAILED"},
                          {IDR_RELIEF_B, std::nullopt, "BumpedSurface> FindResource FAILED"},
                          {IDR_RELIEF_A, Picture(planeSize - 1, 9), "BumpedSurface> LoadResource FAILED"},
                          {IDR_RELIEF_B, Picture(), "BumpedSurface> LoadResource FAILED"}};
    for (const Case& c : cases) {
        host.resources[IDR_RELIEF_A] = Flat(1);
        host.resources[IDR_RELIEF_B] = Flat(2);
        host.resources[c.id] = c.bytes;
        EXPECT_EQ(bump.Init(), 0) << c.id;
        EXPECT_EQ(LastMessage(), c.message) << c.id;
        EXPECT_EQ(bump.surface, nullptr);
    }
}

TEST_F(BumpedSurfaceTest, SecondInitRenewsSurfaceAndTimesButKeepsThePictures) {
    ASSERT_EQ(InitWith(Flat(11), Flat(22)), 1);
    bump.crossfadeStart = 5;
    bump.fadeOutStart = 6;
    std::memset(bump.lightMap, 0, sizeof bump.lightMap);
    ASSERT_EQ(InitWith(Flat(33), Flat(44)), 1);
    EXPECT_EQ(bump.pictureA[0], 11);
    EXPECT_EQ(bump.pictureB[planeSize - 1], 22);
    EXPECT_EQ(bump.crossfadeStart, never);
    EXPECT_EQ(bump.fadeOutStart, never);
    EXPECT_EQ(LightAt(0, 0), 255);
    EXPECT_NE(bump.surface, nullptr);
    EXPECT_EQ(host.callCount("CreateSurface"), 2);
    EXPECT_EQ(host.callCount("FindResourceA"), 2);
}

}  // namespace
