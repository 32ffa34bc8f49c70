// The echo's delay line and taps; the formulas are in platform/echo.h.
#include "platform/echo.h"

#include <algorithm>
#include <cmath>

#include "platform/midas.h"

namespace {

// Keeps the decaying tail out of denormal numbers, which are slow on x86, once it is far below hearing.
float Flush(float v) { return std::fabs(v) < 1e-20f ? 0.0f : v; }

}  // namespace

Echo::Echo(float feedback, float gain, const std::vector<EchoTap>& taps, int fadeFrames)
    : feedback_(feedback), gain_(gain), fadeFrames_(std::max(1, fadeFrames)) {
    int longest = 1;
    for (const EchoTap& t : taps) longest = std::max(longest, t.delayFrames);
    frames_ = static_cast<std::size_t>(longest) + 1;
    line_.assign(frames_ * 2, 0.0f);
    for (EchoTap t : taps) {
        t.delayFrames = std::max(1, t.delayFrames);
        taps_.push_back({t, frames_ - static_cast<std::size_t>(t.delayFrames)});
    }
}

Echo Echo::FromSet(const MIDASechoSet& set, int rate) {
    std::vector<EchoTap> taps;
    if (set.echoes) {
        for (std::uint32_t i = 0; i < set.numEchoes; ++i) {
            const MIDASecho& e = set.echoes[i];
            const std::uint64_t scaled = std::uint64_t{e.delay} * static_cast<std::uint64_t>(rate) + 32768000u;
            taps.push_back({static_cast<int>(scaled / 65536000u), static_cast<float>(e.gain) / 65536.0f,
                            e.reverseChannels != 0, e.filterType == 1});
        }
    }
    // 5 ms of fade-out: short enough to end at once, long enough not to click.
    return Echo(static_cast<float>(set.feedback) / 65536.0f, static_cast<float>(set.gain) / 65536.0f, taps, rate / 200);
}

void Echo::FadeOut() {
    if (fading_ || finished_) return;
    fading_ = true;
    fadeLeft_ = fadeFrames_;
}

void Echo::ProcessFrame(float* frame, float fade) {
    float wetL = 0.0f;
    float wetR = 0.0f;
    for (Tap& t : taps_) {
        float l = line_[t.read * 2];
        float r = line_[t.read * 2 + 1];
        if (t.shape.reverseChannels) std::swap(l, r);
        if (t.shape.lowPass) {
            t.lowL = Flush(t.lowL + (l - t.lowL) * 0.5f);
            t.lowR = Flush(t.lowR + (r - t.lowR) * 0.5f);
            l = t.lowL;
            r = t.lowR;
        }
        wetL += t.shape.gain * l;
        wetR += t.shape.gain * r;
        if (++t.read == frames_) t.read = 0;
    }
    line_[write_ * 2] = Flush(frame[0] + feedback_ * wetL);
    line_[write_ * 2 + 1] = Flush(frame[1] + feedback_ * wetR);
    if (++write_ == frames_) write_ = 0;
    frame[0] += gain_ * fade * wetL;
    frame[1] += gain_ * fade * wetR;
}

void Echo::Process(float* samples, int frames) {
    for (int i = 0; i < frames && !finished_; ++i) {
        float fade = 1.0f;
        if (fading_) {
            fade = static_cast<float>(--fadeLeft_) / static_cast<float>(fadeFrames_);
            if (fadeLeft_ == 0) finished_ = true;
        }
        ProcessFrame(samples + 2 * i, fade);
    }
}
