// The virtual host: clock, keys, faults and frames under a test's control.
#include "platform/virtual/virtual_host.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/silent_output.h"
#include "platform/win32.h"

namespace qhost {

VirtualHost::VirtualHost() = default;
VirtualHost::~VirtualHost() {
    if (&Current() == this) SetCurrent(nullptr);
}

int VirtualHost::Run() {
    SetCurrent(this);
    const int result = WinMain(nullptr, nullptr, const_cast<LPSTR>(""), 1);
    SetCurrent(nullptr);
    return result;
}

void VirtualHost::PressKey(int virtualKey) { pendingKeys_.push_back(virtualKey); }
void VirtualHost::HoldKey(int virtualKey, bool down) { held_[virtualKey] = down; }
void VirtualHost::PostMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    pendingMessages_.push_back({message, wParam, lParam});
}

void VirtualHost::FailCall(const std::string& call, std::int32_t code, int nth, int count) {
    faults_[call].push_back({code, nth, count, 0});
}

void VirtualHost::FailEvery(const std::string& call, std::int32_t code, int period) {
    faults_[call].push_back({code, 0, 0, period});
}

std::int32_t VirtualHost::Fault(const char* call) {
    auto rules = faults_.find(call);
    if (rules == faults_.end()) return 0;
    const int n = ++faultCalls_[call];
    for (const FaultRule& r : rules->second) {
        if (r.period > 0 && n % r.period == 0) return r.code;
        if (r.period == 0 && n >= r.first && (r.count < 0 || n < r.first + r.count)) return r.code;
    }
    return 0;
}

void VirtualHost::Record(const char* call) {
    if (recordCalls) calls.emplace_back(call);
}

int VirtualHost::callCount(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

bool VirtualHost::OpenWindow(const char*) {
    if (noDisplay) return false;
    windowOpen = true;
    return true;
}

bool VirtualHost::Present(const std::uint32_t* pixels, long pitchBytes) {
    lastFrame.resize(320 * 240);
    for (int y = 0; y < 240; ++y)
        std::memcpy(&lastFrame[static_cast<std::size_t>(y) * 320],
                    reinterpret_cast<const std::uint8_t*>(pixels) + y * pitchBytes, 320 * 4);
    const int frame = framesPresented++;
    clock += msPerFrame;
    if (onFrame) onFrame(*this, frame);
    if (framesPresented == frameLimit) PressKey(VK_ESCAPE);
    return true;
}

void VirtualHost::PollInput() {
    if (onPoll) onPoll(*this);
    for (const Posted& m : pendingMessages_) PostWindowMessage(m.message, m.wParam, m.lParam);
    pendingMessages_.clear();
    for (int key : pendingKeys_) PostKeyDown(key);
    pendingKeys_.clear();
    // The sound up to now is mixed before the frame that reads the clock, as the capture does it.
    if (silent_) silent_->Pump(clock);
}

// Nothing outside can arrive: a wait would last for ever, so it ends the run instead.
void VirtualHost::WaitForInput() {
    if (pendingKeys_.empty() && pendingMessages_.empty()) PostWindowMessage(WM_CLOSE, 0, 0);
}

bool VirtualHost::KeyDown(int virtualKey) {
    auto it = held_.find(virtualKey);
    return it != held_.end() && it->second;
}

void VirtualHost::ShowMessageBox(const char* text, const char* title) { boxes.push_back({text, title, calls.size()}); }

bool VirtualHost::OpenAudio(int, AudioSource source) {
    if (noSound) return false;
    std::lock_guard lock(audioLock_);
    audioSource_ = source;
    return source != nullptr;
}

void VirtualHost::CloseAudio() {
    std::lock_guard lock(audioLock_);
    audioSource_ = nullptr;
}

bool VirtualHost::audioOpen() const {
    std::lock_guard lock(audioLock_);
    return audioSource_ != nullptr;
}

bool VirtualHost::RenderAudio(float* samples, int frames) {
    std::lock_guard lock(audioLock_);
    if (!audioSource_) return false;
    audioSource_(samples, frames);
    return true;
}

bool VirtualHost::OverrideResource(int id, const unsigned char*& data, std::size_t& size) {
    auto it = resources.find(id);
    if (it == resources.end()) return false;
    static const unsigned char empty = 0;
    data = !it->second ? nullptr : it->second->empty() ? &empty : it->second->data();
    size = it->second ? it->second->size() : 0;
    return true;
}

}  // namespace qhost
