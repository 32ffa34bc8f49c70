// Frame n shows demo time n*1000/fps, and exactly the sound up to that frame's end is rendered
// before it on the same thread, so every sync lands on the same frame in every run.
#include "platform/capture/frame_loop.h"

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>

#include "platform/virtual/virtual_host.h"
#include "platform/win32.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

// Ctrl-C and SIGTERM end the capture at the current frame, so that what is written is finished whole.
void CatchStop() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

CaptureResult RunCapture(const Options& o, FrameSink& sink, long firstFrame, long frameCount) {
    CaptureResult result;
    if (frameCount <= 0) return result;
    CatchStop();
    qhost::VirtualHost host;
    host.recordCalls = false;
    const bool terminal = isatty(2);
    const auto began = std::chrono::steady_clock::now();
    long frame = 0;
    std::vector<float> audio;
    auto prepare = [&](qhost::VirtualHost& h) {
        const long from = frame * 48000L / o.fps, to = (frame + 1) * 48000L / o.fps;
        const int slice = static_cast<int>(to - from);
        h.clock = static_cast<std::uint32_t>(frame * 1000L / o.fps);
        h.audioBufferFrames = static_cast<std::uint32_t>(slice);
        audio.assign(static_cast<std::size_t>(2 * slice), 0.0f);
        h.RenderAudio(audio.data(), slice);
        if (frame < firstFrame || frame - firstFrame >= frameCount || result.stopped || result.failed) return;
        if (!sink.WriteAudio(audio.data(), slice)) result.failed = true;
    };
    bool prepared = false;
    host.onPoll = [&](qhost::VirtualHost& h) {
        if (!prepared && h.audioOpen()) {
            prepare(h);
            prepared = true;
        }
    };
    host.onFrame = [&](qhost::VirtualHost& h, int) {
        if (frame >= firstFrame) {
            if (!sink.Write(h.lastFrame, static_cast<int>(frame - firstFrame)))
                result.failed = true;
            else
                ++result.frames;
        }
        ++frame;
        prepared = false;
        if (terminal && frame % 30 == 0) {
            const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
            const double rate = spent > 0 ? frame / spent : 0;
            std::fprintf(stderr, "\rframe %ld/%ld  demo time %.1f s  %.0f fps  %.0f s left   ", frame - firstFrame,
                         frameCount, frame * 1.0 / o.fps, rate,
                         rate > 0 ? (firstFrame + frameCount - frame) / rate : 0);
        }
        if (stopRequested && !result.failed) result.stopped = true;
        if (result.failed || result.stopped || frame - firstFrame >= frameCount) h.PressKey(VK_ESCAPE);
    };
    host.Run();
    if (terminal) std::fputc('\n', stderr);
    return result;
}
