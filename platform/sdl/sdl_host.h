// The SDL host: a real window (full screen unless QUENDRALIS_WINDOWED=1), keyboard, clock, message
// box and sound card. Presents in step with the display unless QUENDRALIS_VSYNC=0.
#pragma once

#include <SDL.h>

#include "platform/host.h"

namespace qhost {

class SdlHost final : public Host {
public:
    SdlHost();
    ~SdlHost() override;

    int DesktopWidth() override;
    int DesktopHeight() override;
    bool OpenWindow(const char* title) override;
    void CloseWindow() override;
    void SetDisplayMode(int width, int height) override;
    void RestoreDisplayMode() override;
    bool Present(const std::uint32_t* pixels, long pitchBytes) override;
    bool ScreenLost() override { return lost_; }
    void RestoreScreen() override;
    void PollInput() override;
    void WaitForInput() override;
    bool KeyDown(int virtualKey) override;
    std::uint32_t Ticks() override;
    void ShowMessageBox(const char* text, const char* title) override;
    void ShowCursor(bool visible) override;
    bool OpenAudio(int rate, AudioSource source) override;
    void CloseAudio() override;
    std::uint32_t AudioBufferFrames() override { return audioFrames_; }

private:
    bool InitVideo();
    SDL_Window* CreateFullScreenWindow(const char* title);
    void HandleEvent(const SDL_Event& event);
    static void AudioCallback(void* self, Uint8* stream, int bytes);
    static bool NoSoundDevice();

    bool videoReady_ = false;
    bool windowed_ = false;
    bool vsync_ = true;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    bool lost_ = false;
    bool focused_ = true;
    SDL_AudioDeviceID audio_ = 0;
    AudioSource source_ = nullptr;
    std::uint32_t audioFrames_ = 0;
};

}  // namespace qhost
