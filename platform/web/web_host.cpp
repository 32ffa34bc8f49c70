// The web host over emscripten and the page's own script (index.html): the page owns the canvas, the
// key queue, the sound output and the message box overlay; this side hands it pixels and samples.
#include "platform/web/web_host.h"

#include <emscripten.h>

#include <cstdio>

#include "app/resource_ids.h"
#include "platform/silent_output.h"
#include "platform/win32.h"

namespace {

constexpr int width = 320, height = 240;
// The sound is pulled in blocks of this many frames, as the SDL host's device asks for them.
constexpr int audioBlockFrames = 1024;

// clang-format off
EM_JS(int, qwebScreenWidth, (), { return screen.width | 0; });
EM_JS(int, qwebScreenHeight, (), { return screen.height | 0; });
EM_JS(void, qwebTitle, (const char* title), { Module.quendralisPage.setTitle(UTF8ToString(title)); });
EM_JS(void, qwebDraw, (const std::uint8_t* rgba, int w, int h), {
    Module.quendralisPage.draw(HEAPU8.subarray(rgba, rgba + w * h * 4), w, h);
});
// Resolves at the browser's next animation frame: the frame loop runs at the display's rate, as
// the SDL host's presentation in step with the display makes it.
EM_ASYNC_JS(void, qwebNextFrame, (), { await Module.quendralisPage.nextFrame(); });
EM_ASYNC_JS(void, qwebWait, (int ms), { await new Promise(resolve => setTimeout(resolve, ms)); });
EM_JS(int, qwebTakeKey, (), { return Module.quendralisPage.takeKey(); });
EM_JS(int, qwebKeyHeld, (int key), { return Module.quendralisPage.keyHeld(key) ? 1 : 0; });
EM_JS(std::uint32_t, qwebTicks, (), { return Module.quendralisPage.ticks() >>> 0; });
// Modal, as a message box is: returns when the person has dismissed it.
EM_ASYNC_JS(void, qwebMessageBox, (const char* text, const char* title), {
    await Module.quendralisPage.messageBox(UTF8ToString(text), UTF8ToString(title));
});
EM_JS(int, qwebAudioOpen, (int rate, int blockFrames), { return Module.quendralisPage.audioOpen(rate, blockFrames) ? 1 : 0; });
EM_JS(void, qwebAudioClose, (), { Module.quendralisPage.audioClose(); });
EM_JS(int, qwebAudioWanted, (), { return Module.quendralisPage.audioWanted() | 0; });
EM_JS(void, qwebAudioPush, (const float* samples, int frames), {
    Module.quendralisPage.audioPush(HEAPF32.subarray(samples >> 2, (samples >> 2) + 2 * frames));
});
EM_JS(int, qwebAudioLatencyFrames, (), { return Module.quendralisPage.audioLatencyFrames() | 0; });
// clang-format on

// Windows virtual-key codes from the page's key queue, which sends them already translated.
bool IsDemoKey(int key) {
    return key == VK_ESCAPE || key == VK_SPACE || key == 0x0D || (key >= 'A' && key <= 'Z') ||
           (key >= '0' && key <= '9');
}

}  // namespace

namespace qhost {

WebHost::WebHost() : rgba_(width * height * 4), audioBlock_(2 * audioBlockFrames) {}

WebHost::~WebHost() { CloseAudio(); }

int WebHost::DesktopWidth() { return qwebScreenWidth(); }
int WebHost::DesktopHeight() { return qwebScreenHeight(); }

bool WebHost::OpenWindow(const char* title) {
    qwebTitle(title);
    return true;
}

bool WebHost::Present(const std::uint32_t* pixels, long pitchBytes) {
    // 0x00RRGGBB words to the canvas's R, G, B, A bytes.
    std::uint8_t* out = rgba_.data();
    for (int y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) + y * pitchBytes);
        for (int x = 0; x < width; ++x, out += 4) {
            const std::uint32_t p = row[x];
            out[0] = static_cast<std::uint8_t>(p >> 16);
            out[1] = static_cast<std::uint8_t>(p >> 8);
            out[2] = static_cast<std::uint8_t>(p);
            out[3] = 255;
        }
    }
    qwebDraw(rgba_.data(), width, height);
    FeedAudio();
    qwebNextFrame();
    return true;
}

void WebHost::PollInput() {
    FeedAudio();
    while (const int key = qwebTakeKey())
        if (IsDemoKey(key)) PostKeyDown(key);
}

void WebHost::WaitForInput() {
    qwebWait(10);
    PollInput();
}

bool WebHost::KeyDown(int virtualKey) { return qwebKeyHeld(virtualKey) != 0; }

std::uint32_t WebHost::Ticks() { return qwebTicks(); }

void WebHost::ShowMessageBox(const char* text, const char* title) {
    std::fprintf(stderr, "%s: %s\n", title, text);
    qwebMessageBox(text, title);
}

bool WebHost::OpenAudio(int rate, AudioSource source) {
    CloseAudio();
    if (!source) return false;
    if (!qwebAudioOpen(rate, audioBlockFrames)) {
        std::fputs(qaudio::NoSoundDeviceLine("the page has no sound output").c_str(), stderr);
        return false;
    }
    source_ = source;
    FeedAudio();
    return true;
}

void WebHost::CloseAudio() {
    if (!source_) return;
    qwebAudioClose();
    source_ = nullptr;
}

// What is mixed and not yet heard: the blocks waiting in the page and the output's own latency.
std::uint32_t WebHost::AudioBufferFrames() {
    return source_ ? static_cast<std::uint32_t>(qwebAudioLatencyFrames()) : 0;
}

void WebHost::FeedAudio() {
    if (silent_) silent_->Pump(Ticks());
    if (!source_) return;
    for (int blocks = qwebAudioWanted(); blocks > 0; --blocks) {
        source_(audioBlock_.data(), audioBlockFrames);
        qwebAudioPush(audioBlock_.data(), audioBlockFrames);
    }
}

// The page's test build leaves one resource out, so that a set-up step fails and shows its box.
bool WebHost::OverrideResource(int id, const unsigned char*& data, std::size_t& size) {
#ifdef QUENDRALIS_WEB_MISSING_RESOURCE
    if (id == QUENDRALIS_WEB_MISSING_RESOURCE) {
        data = nullptr;
        size = 0;
        return true;
    }
#endif
    (void)id, (void)data, (void)size;
    return false;
}

}  // namespace qhost
