// The flash's colour over time, with its exact float arithmetic.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "effects/effects.h"
#include "platform/virtual/virtual_host.h"

namespace {

class Flash : public testing::Test {
protected:
    void SetUp() override {
        qhost::SetCurrent(&host);
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw), IID_IDirectDraw7, nullptr), DD_OK);
        ASSERT_EQ(flash.Init(), 1);
        flash.red = flash.green = flash.blue = 255;
        flash.startTime = 10000;
    }
    void TearDown() override { qhost::SetCurrent(nullptr); }

    std::uint32_t Pixel() {
        DDSURFACEDESC2 d;
        EXPECT_EQ(LockWhole(flash.surface, d), DD_OK);
        const std::uint32_t p = *static_cast<std::uint32_t*>(d.lpSurface);
        flash.surface->Unlock(nullptr);
        return p;
    }

    qhost::VirtualHost host;
};

TEST_F(Flash, FadesFromWhiteToBlackOverFifteenHundredMilliseconds) {
    flash.fadeRate = 0.05f;
    const struct {
        int elapsed;
        std::uint32_t grey;
    } cases[] = {{0, 255}, {375, 191}, {750, 127}, {1125, 63}, {1499, 0}};
    for (const auto& c : cases) {
        ASSERT_EQ(flash.Render(10000 + c.elapsed), 1) << c.elapsed;
        EXPECT_EQ(Pixel(), c.grey << 16 | c.grey << 8 | c.grey) << c.elapsed;
    }
}

TEST_F(Flash, EndsAtFifteenHundredMilliseconds) {
    flash.fadeRate = 0.05f;
    EXPECT_EQ(flash.Render(10000 + 1500), 0);
}

TEST_F(Flash, SlowFlashIsHalfWayAtThirtySevenFiftyAndLastsSeventyFiveHundred) {
    flash.fadeRate = 0.01f;
    ASSERT_EQ(flash.Render(10000 + 3750), 1);
    EXPECT_EQ(Pixel(), 0x7F7F7Fu);
    EXPECT_EQ(flash.Render(10000 + 7499), 1);
    EXPECT_EQ(flash.Render(10000 + 7500), 0);
}

TEST(FlashFill, ScalesEachChannelAtHalfStrength) { EXPECT_EQ(FlashFill(255, 128, 0, 0.5f), 0x7F4000u); }

TEST_F(Flash, SecondInitReleasesTheFirstSurface) {
    ASSERT_EQ(flash.Init(), 1);
    EXPECT_NE(flash.surface, nullptr);
    EXPECT_EQ(host.callCount("Surface.Release"), 1);
}

}  // namespace
