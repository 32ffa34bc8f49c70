// The current host, and a host that does nothing for code that runs before one is chosen.
#include "platform/host.h"

namespace qhost {
namespace {

class NullHost final : public Host {
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
    void LockAudio() override {}
    void UnlockAudio() override {}
    std::uint32_t AudioBufferFrames() override { return 0; }
};

NullHost nullHost;
Host* current = &nullHost;

}  // namespace

Host& Current() { return *current; }
void SetCurrent(Host* host) { current = host ? host : &nullHost; }

}  // namespace qhost
