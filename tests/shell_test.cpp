// The shell on the virtual host: start-up failures and their reports, Esc, the message loop and
// the presentation of each frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/shell.h"
#include "platform/midas_layer.h"
#include "platform/virtual/virtual_host.h"

namespace {

using qhost::VirtualHost;

std::size_t IndexOf(const VirtualHost& host, const std::string& call, std::size_t from = 0) {
    auto it = std::find(host.calls.begin() + static_cast<long>(from), host.calls.end(), call);
    return static_cast<std::size_t>(it - host.calls.begin());
}

// Esc once the given frame has been shown.
void EscapeAfter(VirtualHost& host, int frames) {
    host.onFrame = [frames](VirtualHost& h, int frame) {
        if (frame + 1 == frames) h.PressKey(VK_ESCAPE);
    };
}

struct InitFailure {
    const char* call;
    int nth;
    const char* message;
};

class InitDisplayFailure : public testing::TestWithParam<InitFailure> {};

TEST_P(InitDisplayFailure, ShowsItsMessageAfterShutdownAndEndsWithZero) {
    const InitFailure f = GetParam();
    VirtualHost host;
    host.FailCall(f.call, DDERR_GENERIC, f.nth);
    EXPECT_EQ(host.Run(), 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, f.message);
    EXPECT_EQ(host.boxes[0].title, "Test area");
    // Shutdown gave the display back before the box came up, and the window was destroyed after it.
    if (std::string(f.call) != "DirectDrawCreateEx") {
        EXPECT_LT(IndexOf(host, "DirectDraw.Release"), host.boxes[0].callIndex);
    }
    EXPECT_LT(IndexOf(host, "DestroyWindow", host.boxes[0].callIndex), host.calls.size());
    EXPECT_FALSE(host.windowOpen);
    EXPECT_FALSE(host.displayModeSet);
    EXPECT_EQ(host.framesPresented, 0);
    EXPECT_EQ(directDraw, nullptr);
    EXPECT_EQ(primarySurface, nullptr);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, InitDisplayFailure,
                         testing::Values(InitFailure{"DirectDrawCreateEx", 1, "Init> DirectDrawCreateEx FAILED"},
                                         InitFailure{"SetCooperativeLevel", 1, "Init> SetCooperativeLevel FAILED"},
                                         InitFailure{"SetDisplayMode", 1, "Init> SetDisplayMode FAILED"},
                                         InitFailure{"CreateSurface", 1, "Init> CreateSurface FAILED"},
                                         InitFailure{"CreateSurface", 2, "Init> CreateSurface FAILED"}));

TEST(Shell, NoWindowEndsWithZeroAndNoMessage) {
    VirtualHost host;
    host.noDisplay = true;
    EXPECT_EQ(host.Run(), 0);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(host.callCount("DirectDrawCreateEx"), 0);
}

TEST(Shell, EffectSetUpFailureStopsStartUpBeforeTheMusic) {
    VirtualHost host;
    host.FailCall("CreateSurface", DDERR_OUTOFMEMORY, 3);  // the first effect's surface
    EXPECT_EQ(host.Run(), 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "GlowingDotObject> CreateSurface FAILED");
    EXPECT_EQ(host.callCount("CreateSurface"), 3);
    EXPECT_FALSE(host.audioOpen());
}

TEST(Shell, ShutdownRunTwiceReleasesOnce) {
    VirtualHost host;
    EscapeAfter(host, 1);
    ASSERT_EQ(host.Run(), 0);
    Shutdown();
    EXPECT_EQ(host.callCount("DirectDraw.Release"), 1);
    EXPECT_EQ(host.callCount("Surface.Release"), 1);  // the screen; the others end with the device
}

TEST(Shell, EscapeClosesDestroysAndQuitsWithNoFrameAfterShutdown) {
    VirtualHost host;
    EscapeAfter(host, 3);
    EXPECT_EQ(host.Run(), 0);
    EXPECT_EQ(host.framesPresented, 3);
    const std::size_t close = IndexOf(host, "PostMessageA");
    const std::size_t destroy = IndexOf(host, "DestroyWindow", close);
    const std::size_t release = IndexOf(host, "DirectDraw.Release", destroy);
    const std::size_t quit = IndexOf(host, "PostQuitMessage", release);
    EXPECT_LT(close, destroy);
    EXPECT_LT(destroy, release);
    EXPECT_LT(release, quit);
    EXPECT_LT(quit, host.calls.size());
    EXPECT_EQ(IndexOf(host, "Blt.primary", release), host.calls.size());
    EXPECT_FALSE(host.windowOpen);
}

TEST(Shell, EveryWaitingMessageIsHandledBeforeTheNextFrame) {
    VirtualHost host;
    host.onFrame = [](VirtualHost& h, int frame) {
        if (frame == 0)
            for (int i = 0; i < 5; ++i) h.PostMessage(WM_ACTIVATE);
        if (frame == 1) h.PressKey(VK_ESCAPE);
    };
    EXPECT_EQ(host.Run(), 0);
    const std::size_t first = IndexOf(host, "Blt.primary");
    const std::size_t second = IndexOf(host, "Blt.primary", first + 1);
    const auto dispatched = std::count(host.calls.begin() + static_cast<long>(first),
                                       host.calls.begin() + static_cast<long>(second), "DispatchMessageA");
    EXPECT_EQ(dispatched, 5);
}

TEST(Shell, LostScreenIsRestoredAndTheFrameNotRepeated) {
    VirtualHost host;
    host.screenLost = true;
    EscapeAfter(host, 1);
    EXPECT_EQ(host.Run(), 0);
    const std::size_t blt = IndexOf(host, "Blt.primary");
    EXPECT_EQ(IndexOf(host, "Restore"), blt + 1);
    EXPECT_EQ(host.framesPresented, 1);  // the lost frame was not shown, the next one was
    EXPECT_EQ(host.callCount("Blt.primary"), 2);
}

TEST(Shell, StillDrawingIsAskedAgainAtOnce) {
    VirtualHost host;
    host.FailCall("Blt.primary", DDERR_WASSTILLDRAWING, 1, 3);
    EscapeAfter(host, 1);
    EXPECT_EQ(host.Run(), 0);
    EXPECT_EQ(host.callCount("Blt.primary"), 4);
    EXPECT_EQ(host.framesPresented, 1);
}

TEST(Shell, CursorIsHiddenOverTheWindow) {
    VirtualHost host;
    host.onFrame = [](VirtualHost& h, int frame) {
        if (frame == 0) qhost::SendSetCursor();
        if (frame == 0) h.PressKey(VK_ESCAPE);
    };
    EXPECT_EQ(host.Run(), 0);
    EXPECT_FALSE(host.cursorVisible);
    EXPECT_GE(host.callCount("SetCursor"), 1);
}

TEST(Shell, OtherKeysGoToTheDefaultHandling) {
    VirtualHost host;
    host.onFrame = [](VirtualHost& h, int frame) {
        if (frame == 0) h.PressKey('A');
        if (frame == 1) h.PressKey(VK_ESCAPE);
    };
    EXPECT_EQ(host.Run(), 0);
    EXPECT_EQ(host.framesPresented, 2);
}

TEST(Shell, StartsInItsFixedOrder) {
    VirtualHost host;
    EscapeAfter(host, 1);
    ASSERT_EQ(host.Run(), 0);
    const char* order[] = {"RegisterClassA", "CreateWindowExA", "DirectDrawCreateEx", "SetCooperativeLevel",
                           "SetDisplayMode", "CreateSurface",   "CreateSurface",      "FindResourceA"};
    std::size_t at = 0;
    for (const char* call : order) {
        at = IndexOf(host, call, at);
        ASSERT_LT(at, host.calls.size()) << call;
        ++at;
    }
    EXPECT_EQ(host.callCount("CreateSurface"), 9);  // screen, back buffer, seven effects
}

}  // namespace
