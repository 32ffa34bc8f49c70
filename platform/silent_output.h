// The sound device that takes a missing one's place: the song plays into nothing, pulled from the same
// source in the same blocks as a device pulls it, at the pace of a clock, so that its syncs still fire
// and the show runs without sound. Used by platform/host_audio.cpp and platform/windows/wave_out.cpp.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_output.h"

namespace qaudio {

// The line every host prints, once, when it has no sound device to give the layer, with its reason
// (e.g. "waveOutOpen failed"), newline included.
std::string NoSoundDeviceLine(const char* reason);

// Paced by a clock of milliseconds that wraps at 2^32, as GetTickCount does. Pump and Stop belong to
// one thread at a time; BufferFrames and Running may be asked from any thread.
class SilentOutput {
public:
    // From `nowMs` on, the output plays `blockFrames`-frame blocks of `source` at `rate` frames a second.
    void Start(int rate, Source source, int blockFrames, std::uint32_t nowMs);
    void Stop();
    bool Running() const { return running_.load(std::memory_order_relaxed); }

    // Mixes every block due by `nowMs`. Like a device with one buffer, the block that is heard from a
    // moment on is mixed at that moment: t ms after the start, ⌊t·rate / (1000·block)⌋ + 1 blocks are
    // mixed. A clock that steps back mixes nothing until it is past its latest time again.
    void Pump(std::uint32_t nowMs);

    // One block: how far the sound mixed runs ahead of the sound "heard".
    std::uint32_t BufferFrames() const { return blockFrames_.load(std::memory_order_relaxed); }
    std::uint64_t FramesMixed() const { return blocksMixed_ * static_cast<std::uint64_t>(BufferFrames()); }
    int Rate() const { return rate_; }

private:
    std::atomic<bool> running_{false};
    std::atomic<std::uint32_t> blockFrames_{0};
    Source source_ = nullptr;
    int rate_ = 0;
    std::uint32_t lastMs_ = 0;
    std::uint64_t elapsedMs_ = 0;  // since the start, over any number of clock wraps
    std::uint64_t blocksMixed_ = 0;
    std::vector<float> block_;
};

// Pumps a silent output from a thread of its own, reading the clock a few times a block: the real
// hosts' way. Start and Stop belong to the main thread.
class SilentPump {
public:
    ~SilentPump() { Stop(); }
    void Start(SilentOutput& output, std::function<std::uint32_t()> clock);
    // Returns when the thread has made its last call to the output.
    void Stop();

private:
    std::thread thread_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool stopping_ = false;  // under lock_
};

}  // namespace qaudio
