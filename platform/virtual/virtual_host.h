// The virtual host: a complete host with no screen and no sound card. Tests and the capture set its
// clock, press its keys, make chosen calls fail, and read back the calls, message boxes and frames.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"

namespace qhost {

class VirtualHost : public Host {
public:
    VirtualHost();
    ~VirtualHost() override;

    // Runs the demo's WinMain on this host and returns its exit code.
    int Run();

    // --- Script -------------------------------------------------------------------------------
    std::uint32_t clock = 0;       // what GetTickCount answers (ms)
    std::uint32_t msPerFrame = 0;  // added to the clock after every presented frame
    // Called after every presented frame (frame numbers from 0), and on every input poll.
    std::function<void(VirtualHost&, int frame)> onFrame;
    std::function<void(VirtualHost&)> onPoll;
    // A run that presents this many frames gets an Esc press, so that no test runs for ever.
    int frameLimit = 1000000;

    void PressKey(int virtualKey);            // a WM_KEYDOWN at the next poll, and "pressed since"
    void HoldKey(int virtualKey, bool down);  // the key's down-now state
    void PostMessage(unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    // --- Faults -------------------------------------------------------------------------------
    // The nth call (from 1) of `call` and the `count` calls after it fail with `code` (count < 0:
    // every call from the nth on). Calls: CreateWindowExA, DirectDrawCreateEx, SetCooperativeLevel,
    // SetDisplayMode, CreateSurface, Lock, Blt (any surface but the screen), Blt.primary, Restore.
    void FailCall(const std::string& call, std::int32_t code, int nth = 1, int count = 1);
    // Every `period`th call of `call` fails with `code`.
    void FailEvery(const std::string& call, std::int32_t code, int period);
    bool noDisplay = false;   // OpenWindow fails, as without a display
    bool noSound = false;     // OpenAudio fails, as without a sound device: the layer plays silently
    bool screenLost = false;  // the screen reads as lost until Restore
    long extraPitch = 0;      // bytes added to every surface row
    // Resource id -> replacement bytes; nullopt means the resource is missing.
    std::map<int, std::optional<std::vector<std::uint8_t>>> resources;
    int desktopWidth = 1920, desktopHeight = 1080;

    // --- Observations -------------------------------------------------------------------------
    bool recordCalls = true;
    std::vector<std::string> calls;
    struct Box {
        std::string text, title;
        std::size_t callIndex;  // position in `calls` when it was shown
    };
    std::vector<Box> boxes;
    int framesPresented = 0;
    std::vector<std::uint32_t> lastFrame;  // 320x240 pixels of the last presented frame
    bool windowOpen = false, displayModeSet = false, cursorVisible = true;
    int callCount(const std::string& call) const;

    // --- Sound --------------------------------------------------------------------------------
    // Renders frames of the module player on the calling thread; false when no audio is open. With
    // noSound there is none: the layer's silent output mixes at every input poll what the clock says
    // is due, on the main thread.
    bool RenderAudio(float* samples, int frames);
    bool audioOpen() const;
    std::uint32_t audioBufferFrames = 0;  // what the player reports as its mixing buffer

    // --- Host ---------------------------------------------------------------------------------
    int DesktopWidth() override { return desktopWidth; }
    int DesktopHeight() override { return desktopHeight; }
    bool OpenWindow(const char* title) override;
    void CloseWindow() override { windowOpen = false; }
    void SetDisplayMode(int, int) override { displayModeSet = true; }
    void RestoreDisplayMode() override { displayModeSet = false; }
    bool Present(const std::uint32_t* pixels, long pitchBytes) override;
    bool ScreenLost() override { return screenLost; }
    void RestoreScreen() override { screenLost = false; }
    void PollInput() override;
    void WaitForInput() override;
    bool KeyDown(int virtualKey) override;
    std::uint32_t Ticks() override { return clock; }
    void ShowMessageBox(const char* text, const char* title) override;
    void ShowCursor(bool visible) override { cursorVisible = visible; }
    bool OpenAudio(int rate, AudioSource source) override;
    void CloseAudio() override;
    std::uint32_t AudioBufferFrames() override { return audioBufferFrames; }
    void PumpSilentOutput(qaudio::SilentOutput* output) override { silent_ = output; }
    std::int32_t Fault(const char* call) override;
    void Record(const char* call) override;
    long SurfacePitch(long rowBytes) override { return rowBytes + extraPitch; }
    bool OverrideResource(int id, const unsigned char*& data, std::size_t& size) override;

private:
    struct FaultRule {
        std::int32_t code;
        int first, count, period;
    };
    std::map<std::string, std::vector<FaultRule>> faults_;
    std::map<std::string, int> faultCalls_;
    std::vector<int> pendingKeys_;
    std::map<int, bool> held_;
    struct Posted {
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Posted> pendingMessages_;
    // Like a sound card's callback, a render may run on another thread: closing waits for it.
    mutable std::mutex audioLock_;
    AudioSource audioSource_ = nullptr;
    qaudio::SilentOutput* silent_ = nullptr;
};

}  // namespace qhost
