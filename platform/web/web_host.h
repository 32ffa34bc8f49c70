// The web host: a canvas in the page, the page's keys and clock, WebAudio and a message box drawn over
// the page. Single-threaded: the sound is rendered on the main thread between frames, and each
// presented frame yields to the browser until its next animation frame.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/host.h"

namespace qhost {

class WebHost final : public Host {
public:
    WebHost();
    ~WebHost() override;

    int DesktopWidth() override;
    int DesktopHeight() override;
    bool OpenWindow(const char* title) override;
    void CloseWindow() override {}
    void SetDisplayMode(int, int) override {}
    void RestoreDisplayMode() override {}
    bool Present(const std::uint32_t* pixels, long pitchBytes) override;
    bool ScreenLost() override { return false; }
    void RestoreScreen() override {}
    void PollInput() override;
    void WaitForInput() override;
    bool KeyDown(int virtualKey) override;
    std::uint32_t Ticks() override;
    void ShowMessageBox(const char* text, const char* title) override;
    bool OpenAudio(int rate, AudioSource source) override;
    void CloseAudio() override;
    std::uint32_t AudioBufferFrames() override;
    // No threads here: the frame loop pumps the silent output, as it feeds the page's sound.
    void PumpSilentOutput(qaudio::SilentOutput* output) override { silent_ = output; }
    bool OverrideResource(int id, const unsigned char*& data, std::size_t& size) override;

private:
    // Renders what the page's sound output will want before the next frame.
    void FeedAudio();

    std::vector<std::uint8_t> rgba_;
    std::vector<float> audioBlock_;
    AudioSource source_ = nullptr;
    qaudio::SilentOutput* silent_ = nullptr;
};

}  // namespace qhost
