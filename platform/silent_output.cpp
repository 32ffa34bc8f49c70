// The silent output and its pump thread (platform/silent_output.h).
#include "platform/silent_output.h"

#include <algorithm>
#include <chrono>

namespace qaudio {

std::string NoSoundDeviceLine(const char* reason) {
    return std::string("quendralis: no sound device, the demo plays silently (") + reason + ")\n";
}

void SilentOutput::Start(int rate, Source source, int blockFrames, std::uint32_t nowMs) {
    source_ = source;
    rate_ = rate;
    lastMs_ = nowMs;
    elapsedMs_ = 0;
    blocksMixed_ = 0;
    block_.assign(2 * static_cast<std::size_t>(blockFrames), 0.0f);
    blockFrames_.store(static_cast<std::uint32_t>(blockFrames), std::memory_order_relaxed);
    running_.store(source != nullptr && rate > 0 && blockFrames > 0, std::memory_order_relaxed);
}

void SilentOutput::Stop() {
    running_.store(false, std::memory_order_relaxed);
    blockFrames_.store(0, std::memory_order_relaxed);
    source_ = nullptr;
}

void SilentOutput::Pump(std::uint32_t nowMs) {
    if (!Running()) return;
    // Unsigned differences carry the clock over its wrap; one of 2^31 or more is a step back.
    const std::uint32_t step = nowMs - lastMs_;
    if (step < 0x80000000u) {
        elapsedMs_ += step;
        lastMs_ = nowMs;
    }
    const std::uint64_t frames = BufferFrames();
    const std::uint64_t due = elapsedMs_ * static_cast<std::uint64_t>(rate_) / (1000 * frames) + 1;
    for (; blocksMixed_ < due; ++blocksMixed_) source_(block_.data(), static_cast<int>(frames));
}

void SilentPump::Start(SilentOutput& output, std::function<std::uint32_t()> clock) {
    Stop();
    stopping_ = false;
    // A quarter of a block between looks at the clock: each block is mixed at most that late.
    const auto wait = std::chrono::microseconds(250000LL * output.BufferFrames() / std::max(output.Rate(), 1) + 1);
    thread_ = std::thread([this, &output, clock = std::move(clock), wait] {
        std::unique_lock lock(lock_);
        while (!stopping_) {
            lock.unlock();
            output.Pump(clock());
            lock.lock();
            wake_.wait_for(lock, wait, [this] { return stopping_; });
        }
    });
}

void SilentPump::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

}  // namespace qaudio
