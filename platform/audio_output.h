// The sound device that the module player's background play runs on: the host's audio on Linux
// (platform/host_audio.cpp), waveOut on Windows (platform/windows/wave_out.cpp). Only midas.cpp calls it.
#pragma once

#include <cstdint>

namespace qaudio {

// Fills `frames` interleaved stereo float frames; called on the device's own playback thread.
typedef void (*Source)(float* samples, int frames);

// Starts playback at `rate` frames per second pulling from `source`; false when there is no device.
bool Open(int rate, Source source);
// Returns when the playback thread has made its last call to the source.
void Close();
// The device's buffer length in frames: how far the sound heard lags behind the sound mixed.
std::uint32_t BufferFrames();

}  // namespace qaudio
