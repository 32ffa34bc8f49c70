// The sound device that the module player's background play runs on: the host's audio on Linux
// (platform/host_audio.cpp), waveOut on Windows (platform/windows/wave_out.cpp). Only midas.cpp calls it.
#pragma once

#include <cstdint>

namespace qaudio {

// Fills `frames` interleaved stereo float frames; called on the device's own playback thread.
typedef void (*Source)(float* samples, int frames);

// Starts playback at `rate` frames per second pulling from `source`: on the sound device, or when none
// opens on the silent output (platform/silent_output.h), which pulls it at the pace of the clock.
// False only without a source.
bool Open(int rate, Source source);
// Returns when the playback thread has made its last call to the source.
void Close();
// The buffer length in frames of the device or the silent output: how far the sound heard lags
// behind the sound mixed.
std::uint32_t BufferFrames();

}  // namespace qaudio
