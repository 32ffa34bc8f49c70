// The SDL host: a real window, keyboard, clock, message box and sound card.
#include "platform/sdl/sdl_host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/silent_output.h"
#include "platform/win32.h"

namespace qhost {
namespace {

bool EnvIs(const char* name, const char* value) {
    const char* set = std::getenv(name);
    return set && std::strcmp(set, value) == 0;
}

// Windows virtual-key codes for the keys a window can see; 0 for those the demo has no name for.
int VirtualKey(SDL_Keycode key) {
    if (key == SDLK_ESCAPE) return VK_ESCAPE;
    if (key == SDLK_SPACE) return VK_SPACE;
    if (key == SDLK_RETURN) return 0x0D;
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    return 0;
}

SDL_Scancode Scancode(int virtualKey) {
    if (virtualKey == VK_ESCAPE) return SDL_SCANCODE_ESCAPE;
    if (virtualKey == VK_SPACE) return SDL_SCANCODE_SPACE;
    if (virtualKey >= 'A' && virtualKey <= 'Z') return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (virtualKey - 'A'));
    return SDL_SCANCODE_UNKNOWN;
}

}  // namespace

SdlHost::SdlHost() {
    SDL_Init(SDL_INIT_TIMER | SDL_INIT_EVENTS);
    windowed_ = EnvIs("QUENDRALIS_WINDOWED", "1");
    vsync_ = !EnvIs("QUENDRALIS_VSYNC", "0");
}

SdlHost::~SdlHost() {
    CloseAudio();
    CloseWindow();
    SDL_Quit();
}

// SDL falls back to its off-screen drivers when no display answers; a demo played there is seen by
// nobody and never ends, so that counts as no display unless the user named the driver.
bool SdlHost::InitVideo() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "quendralis: no display to show the demo on (%s)\n", SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* named = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if ((!named || !*named) && driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        std::fprintf(stderr, "quendralis: no display to show the demo on (only SDL's %s video driver answered)\n",
                     driver);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    videoReady_ = true;
    return true;
}

// Sized and placed as the desktop, not left to the window manager: on a bare X server there is none
// to make a full-screen window fill the screen.
SDL_Window* SdlHost::CreateFullScreenWindow(const char* title) {
    SDL_Rect desktop{0, 0, 960, 720};
    SDL_GetDisplayBounds(0, &desktop);
    return SDL_CreateWindow(title, desktop.x, desktop.y, desktop.w, desktop.h,
                            SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
}

int SdlHost::DesktopWidth() {
    SDL_DisplayMode mode;
    return videoReady_ && SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.w : 640;
}

int SdlHost::DesktopHeight() {
    SDL_DisplayMode mode;
    return videoReady_ && SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.h : 480;
}

bool SdlHost::OpenWindow(const char* title) {
    if (!videoReady_ && !InitVideo()) return false;
    window_ = windowed_ ? SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 960, 720,
                                           SDL_WINDOW_RESIZABLE)
                        : CreateFullScreenWindow(title);
    if (window_) renderer_ = SDL_CreateRenderer(window_, -1, vsync_ ? SDL_RENDERER_PRESENTVSYNC : 0);
    if (renderer_) {
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, 320, 240);
        SDL_RenderSetLogicalSize(renderer_, 320, 240);  // keeps 4:3 with black bars
    }
    if (!texture_) {
        std::fprintf(stderr, "quendralis: cannot open a window (%s)\n", SDL_GetError());
        CloseWindow();
        return false;
    }
    SDL_ShowCursor(SDL_DISABLE);
    return true;
}

void SdlHost::CloseWindow() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
}

void SdlHost::SetDisplayMode(int, int) {
    if (window_) SDL_ShowWindow(window_);
}

// The exclusive mode ends: get out of the way so that a message box shows on the desktop.
void SdlHost::RestoreDisplayMode() {
    if (window_) SDL_HideWindow(window_);
}

bool SdlHost::Present(const std::uint32_t* pixels, long pitchBytes) {
    if (!texture_) return false;
    SDL_UpdateTexture(texture_, nullptr, pixels, static_cast<int>(pitchBytes));
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    return true;
}

void SdlHost::RestoreScreen() {
    if (focused_) lost_ = false;
}

void SdlHost::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        PostWindowMessage(WM_CLOSE, 0, 0);
        break;
    case SDL_KEYDOWN:
        if (int key = VirtualKey(event.key.keysym.sym)) PostKeyDown(key);
        break;
    case SDL_MOUSEMOTION:
        SendSetCursor();
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            focused_ = false;
            if (!windowed_) lost_ = true;  // as a full-screen surface is lost when switched away from
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            focused_ = true;
        }
        break;
    }
}

void SdlHost::PollInput() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) HandleEvent(event);
}

void SdlHost::WaitForInput() {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 100)) HandleEvent(event);
}

bool SdlHost::KeyDown(int virtualKey) {
    const SDL_Scancode code = Scancode(virtualKey);
    return code != SDL_SCANCODE_UNKNOWN && SDL_GetKeyboardState(nullptr)[code];
}

std::uint32_t SdlHost::Ticks() { return SDL_GetTicks(); }

void SdlHost::ShowMessageBox(const char* text, const char* title) {
    std::fprintf(stderr, "%s: %s\n", title, text);
    if (videoReady_) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr);
}

void SdlHost::ShowCursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

void SdlHost::AudioCallback(void* self, Uint8* stream, int bytes) {
    auto* host = static_cast<SdlHost*>(self);
    host->source_(reinterpret_cast<float*>(stream), bytes / static_cast<int>(2 * sizeof(float)));
}

// The layer plays on its silent output from here on (platform/host_audio.cpp).
bool SdlHost::NoSoundDevice() {
    std::fputs(qaudio::NoSoundDeviceLine(SDL_GetError()).c_str(), stderr);
    return false;
}

bool SdlHost::OpenAudio(int rate, AudioSource source) {
    CloseAudio();
    if (!source) return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return NoSoundDevice();
    SDL_AudioSpec want{}, have{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = AudioCallback;
    want.userdata = this;
    source_ = source;
    audio_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!audio_) {
        source_ = nullptr;
        return NoSoundDevice();
    }
    audioFrames_ = have.samples;
    SDL_PauseAudioDevice(audio_, 0);
    return true;
}

// Returns once the audio thread has left the callback for good.
void SdlHost::CloseAudio() {
    if (audio_) SDL_CloseAudioDevice(audio_);
    audio_ = 0;
    source_ = nullptr;
}

}  // namespace qhost
