// Faults injected across a run of the show: failed locks and blits, a screen that keeps getting
// lost, each effect's surface failing in turn, each resource missing or short. The demo never crashes
// and always ends with 0.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "effects/effects.h"
#include "music/music.h"
#include "music/timeline.h"
#include "platform/virtual/virtual_host.h"
#include "platform/win32.h"
#include "tests/kit/kit.h"

namespace {

using qhost::VirtualHost;

// 30 s of the show at 20 frames a second, with its sound: the pictures, the sweep and the drop.
int PlayThirtySeconds(VirtualHost& host) {
    return kit::PlayShow(host, 20, {nullptr, [](VirtualHost&, int frame) { return frame != 600; }});
}

struct FrameFault {
    const char* name;
    void (*inject)(VirtualHost&);
};

class FramesUnderFaults : public testing::TestWithParam<FrameFault> {};

TEST_P(FramesUnderFaults, GoOnAndEndWithZero) {
    VirtualHost host;
    GetParam().inject(host);
    EXPECT_EQ(PlayThirtySeconds(host), 0);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_GE(handledSync, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FramesUnderFaults,
    testing::Values(FrameFault{"LockEveryThird", [](VirtualHost& h) { h.FailEvery("Lock", DDERR_SURFACEBUSY, 3); }},
                    FrameFault{"LockAlways", [](VirtualHost& h) { h.FailCall("Lock", DDERR_SURFACELOST, 1, -1); }},
                    FrameFault{"BltLost", [](VirtualHost& h) { h.FailEvery("Blt", DDERR_SURFACELOST, 5); }},
                    FrameFault{"ScreenStillDrawing",
                               [](VirtualHost& h) { h.FailEvery("Blt.primary", DDERR_WASSTILLDRAWING, 2); }},
                    FrameFault{"ScreenLostEveryFewFrames",
                               [](VirtualHost& h) {
                                   h.onPoll = [polls = 0](VirtualHost& v) mutable {
                                       if (++polls % 7 == 0) v.screenLost = true;
                                   };
                               }},
                    FrameFault{"RestoreFails",
                               [](VirtualHost& h) {
                                   h.screenLost = true;
                                   h.FailCall("Restore", DDERR_GENERIC, 1, 20);
                               }}),
    [](const testing::TestParamInfo<FrameFault>& param) { return std::string(param.param.name); });

struct SetUpFault {
    int nth;  // CreateSurface calls: 1 screen, 2 back buffer, then the seven effects
    const char* message;
};

class EffectSurfaceFails : public testing::TestWithParam<SetUpFault> {};

TEST_P(EffectSurfaceFails, ReportsItsClassAndStartsNothingAfterIt) {
    VirtualHost host;
    host.FailCall("CreateSurface", DDERR_OUTOFMEMORY, GetParam().nth);
    EXPECT_EQ(host.Run(), 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, GetParam().message);
    EXPECT_EQ(host.callCount("CreateSurface"), GetParam().nth);  // the later effects were never set up
    EXPECT_EQ(musicModule, 0u);
    EXPECT_EQ(host.framesPresented, 0);
}

INSTANTIATE_TEST_SUITE_P(InTurn, EffectSurfaceFails,
                         testing::Values(SetUpFault{3, "GlowingDotObject> CreateSurface FAILED"},
                                         SetUpFault{4, "BumpedSurface> CreateSurface FAILED"},
                                         SetUpFault{5, "Sweep> CreateSurface FAILED"},
                                         SetUpFault{6, "MagneticField> CreateSurface FAILED"},
                                         SetUpFault{7, "ScreenFlash> CreateSurface FAILED"},
                                         SetUpFault{8, "MotionText> CreateSurface FAILED"},
                                         SetUpFault{9, "MotionText> CreateSurface FAILED"}));

// A resource in the start-up's way: missing (nullopt) or 100 bytes too short for what reads it.
struct ResourceFault {
    int id;
    std::optional<std::vector<std::uint8_t>> bytes;
    const char* message;
};

const std::vector<std::uint8_t> tooShort(100, 7);

class ResourceFails : public testing::TestWithParam<ResourceFault> {};

TEST_P(ResourceFails, ReportsAndEndsStartUp) {
    VirtualHost host;
    host.resources[GetParam().id] = GetParam().bytes;
    EXPECT_EQ(host.Run(), 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, GetParam().message);
    EXPECT_EQ(musicModule, 0u);
    EXPECT_EQ(host.framesPresented, 0);
}

INSTANTIATE_TEST_SUITE_P(Each, ResourceFails,
                         testing::Values(ResourceFault{IDR_FONT, std::nullopt, "LoadFont> FindResource FAILED"},
                                         ResourceFault{IDR_FONT, tooShort, "LoadFont> LoadResource FAILED"},
                                         ResourceFault{IDR_RELIEF_A, std::nullopt,
                                                       "BumpedSurface> FindResource FAILED"},
                                         ResourceFault{IDR_RELIEF_B, tooShort, "BumpedSurface> LoadResource FAILED"},
                                         ResourceFault{IDR_LOGO, std::nullopt, "Sweep> FindResource FAILED"},
                                         ResourceFault{IDR_LOGO, tooShort, "Sweep> LoadResource FAILED"}));

TEST(MissingIcon, TheWindowClassGoesWithoutIt) {
    VirtualHost host;
    host.resources[IDI_QUENDRALIS] = std::nullopt;
    host.onFrame = [](VirtualHost& h, int) { h.PressKey(VK_ESCAPE); };
    EXPECT_EQ(host.Run(), 0);
    EXPECT_TRUE(host.boxes.empty());
}

}  // namespace
