// What the platform layer needs from whatever runs the demo: the SDL host (a real window, keyboard,
// clock and sound card) or the virtual host (tests and capture). The demo never sees this header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qaudio {
class SilentOutput;
}

namespace qhost {

// Fills `frames` stereo frames of interleaved float samples; called on the host's audio thread.
typedef void (*AudioSource)(float* samples, int frames);

class Host {
public:
    virtual ~Host() = default;

    // Display: the desktop size, the window, the screen picture.
    virtual int DesktopWidth() = 0;
    virtual int DesktopHeight() = 0;
    virtual bool OpenWindow(const char* title) = 0;  // false: no window can be made here
    virtual void CloseWindow() = 0;
    virtual void SetDisplayMode(int width, int height) = 0;
    virtual void RestoreDisplayMode() = 0;
    // Shows a 320x240 picture of 0x00RRGGBB pixels; false when the screen surface is lost.
    virtual bool Present(const std::uint32_t* pixels, long pitchBytes) = 0;
    virtual bool ScreenLost() = 0;
    virtual void RestoreScreen() = 0;

    // Input and time. PollInput hands key presses to the layer through PostKeyDown.
    virtual void PollInput() = 0;
    virtual void WaitForInput() = 0;
    virtual bool KeyDown(int virtualKey) = 0;
    virtual std::uint32_t Ticks() = 0;
    virtual void ShowMessageBox(const char* text, const char* title) = 0;
    virtual void ShowCursor(bool visible) { (void)visible; }

    // Sound: the module player's playback thread is the host's audio thread.
    virtual bool OpenAudio(int rate, AudioSource source) = 0;
    virtual void CloseAudio() = 0;
    virtual std::uint32_t AudioBufferFrames() = 0;
    // When OpenAudio fails the layer plays on a silent output (platform/silent_output.h), which mixes
    // what this host's clock says is due; the host pumps it until it is handed null. By default a
    // thread does, reading Ticks(); a host whose clock belongs to the main thread pumps it there.
    virtual void PumpSilentOutput(qaudio::SilentOutput* output);

    // Tests: every faultable call asks first; a non-zero answer is the result code it fails with.
    virtual std::int32_t Fault(const char* call) {
        (void)call;
        return 0;
    }
    virtual void Record(const char* call) { (void)call; }
    // Row pitch in bytes of a new surface whose rows hold `rowBytes`.
    virtual long SurfacePitch(long rowBytes) { return rowBytes; }
    // Replaces a compiled-in resource: true with data null means "missing".
    virtual bool OverrideResource(int id, const unsigned char*& data, std::size_t& size) {
        (void)id, (void)data, (void)size;
        return false;
    }
};

// A host with no screen, input or sound: every call does nothing and fails where it can. The host in
// place before one is chosen; tests derive from it to watch a few calls.
class IdleHost : public Host {
public:
    int DesktopWidth() override { return 320; }
    int DesktopHeight() override { return 240; }
    bool OpenWindow(const char*) override { return false; }
    void CloseWindow() override {}
    void SetDisplayMode(int, int) override {}
    void RestoreDisplayMode() override {}
    bool Present(const std::uint32_t*, long) override { return true; }
    bool ScreenLost() override { return false; }
    void RestoreScreen() override {}
    void PollInput() override {}
    void WaitForInput() override {}
    bool KeyDown(int) override { return false; }
    std::uint32_t Ticks() override { return 0; }
    void ShowMessageBox(const char*, const char*) override {}
    bool OpenAudio(int, AudioSource) override { return false; }
    void CloseAudio() override {}
    std::uint32_t AudioBufferFrames() override { return 0; }
    void PumpSilentOutput(qaudio::SilentOutput*) override {}
};

Host& Current();
void SetCurrent(Host* host);

// Called by hosts from PollInput: a key went down (a WM_KEYDOWN for the window, and the
// pressed-since-last-query state of GetAsyncKeyState).
void PostKeyDown(int virtualKey);
// Queues a message for the demo's window, as PostMessageA would (a host's close button: WM_CLOSE).
void PostWindowMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
// The mouse moved over the window: the window procedure decides about the cursor (WM_SETCURSOR).
void SendSetCursor();

}  // namespace qhost
