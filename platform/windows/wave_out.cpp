// The sound device of platform/audio_output.h on Windows: waveOut at 48 kHz, 16-bit stereo, kept fed
// by a thread of its own that mixes into whichever of a few short buffers the device has played; when
// no waveOut device opens, the silent output, pumped at the pace of GetTickCount.
#include "platform/audio_output.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/silent_output.h"

namespace qaudio {
namespace {

// Four buffers of 20 ms at 48 kHz: a buffer mixed now is heard after the others queued ahead of it.
constexpr int bufferCount = 4;
constexpr int bufferFrames = 960;

struct Device {
    HWAVEOUT waveOut = nullptr;
    HANDLE done = nullptr;  // signalled by waveOut each time it hands a buffer back
    Source source = nullptr;
    std::atomic<bool> stopping{false};
    std::thread thread;
    std::array<WAVEHDR, bufferCount> headers{};
    std::array<std::array<std::int16_t, 2 * bufferFrames>, bufferCount> pcm{};
    std::array<float, 2 * bufferFrames> mix{};
};

Device device;
// Never destroyed: the pump thread may still mix while the program exits.
SilentOutput& silent = *new SilentOutput;
SilentPump& silentPump = *new SilentPump;

// The layer plays on without sound: the song, its syncs and the show run on the clock.
bool PlaySilently(int rate, Source source, const char* reason) {
    const std::string line = NoSoundDeviceLine((std::string(reason) + " failed").c_str());
    OutputDebugStringA(line.c_str());
    std::fputs(line.c_str(), stderr);
    silent.Start(rate, source, bufferFrames, GetTickCount());
    silentPump.Start(silent, [] { return static_cast<std::uint32_t>(GetTickCount()); });
    return true;
}

std::int16_t ToPcm(float sample) {
    return static_cast<std::int16_t>(std::lrint(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
}

// Mixes one buffer and queues it behind the others.
void Refill(WAVEHDR& header, std::int16_t* pcm) {
    device.source(device.mix.data(), bufferFrames);
    std::transform(device.mix.begin(), device.mix.end(), pcm, ToPcm);
    waveOutWrite(device.waveOut, &header, sizeof header);
}

// The playback thread: the only caller of the source while the device is open. The frame loop never
// waits, so this thread runs above it to refill in time.
void Play() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    for (int i = 0; i < bufferCount; ++i) Refill(device.headers[i], device.pcm[i].data());
    while (!device.stopping.load(std::memory_order_relaxed)) {
        WaitForSingleObject(device.done, INFINITE);
        for (int i = 0; i < bufferCount && !device.stopping.load(std::memory_order_relaxed); ++i)
            if (device.headers[i].dwFlags & WHDR_DONE) Refill(device.headers[i], device.pcm[i].data());
    }
}

void Release() {
    for (WAVEHDR& header : device.headers)
        if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device.waveOut, &header, sizeof header);
    if (device.waveOut) waveOutClose(device.waveOut);
    if (device.done) CloseHandle(device.done);
    device.waveOut = nullptr;
    device.done = nullptr;
    device.source = nullptr;
}

}  // namespace

bool Open(int rate, Source source) {
    Close();
    if (!source) return false;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    device.done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!device.done || waveOutOpen(&device.waveOut, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(device.done), 0,
                                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        device.waveOut = nullptr;
        Release();
        return PlaySilently(rate, source, "waveOutOpen");
    }
    for (int i = 0; i < bufferCount; ++i) {
        WAVEHDR& header = device.headers[i];
        header = WAVEHDR{};
        header.lpData = reinterpret_cast<LPSTR>(device.pcm[i].data());
        header.dwBufferLength = sizeof device.pcm[i];
        if (waveOutPrepareHeader(device.waveOut, &header, sizeof header) != MMSYSERR_NOERROR) {
            Release();
            return PlaySilently(rate, source, "waveOutPrepareHeader");
        }
    }
    device.source = source;
    device.stopping.store(false, std::memory_order_relaxed);
    device.thread = std::thread(Play);
    return true;
}

void Close() {
    if (silent.Running()) {
        silentPump.Stop();
        silent.Stop();
    }
    if (!device.waveOut) return;
    device.stopping.store(true, std::memory_order_relaxed);
    SetEvent(device.done);
    if (device.thread.joinable()) device.thread.join();
    waveOutReset(device.waveOut);  // hands back the buffers still queued
    Release();
}

std::uint32_t BufferFrames() { return silent.Running() ? silent.BufferFrames() : bufferCount * bufferFrames; }

}  // namespace qaudio
