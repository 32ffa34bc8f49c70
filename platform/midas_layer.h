// What the hosts, the capture and the tests see of the module player beyond platform/midas.h: the
// audio source it plays through, the switch of its built-in module, and the time table of a
// module's sync commands. The demo never includes this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The player mixes 48 kHz stereo float.
constexpr int midasMixRate = 48000;

// The audio source handed to the host's OpenAudio: fills `frames` interleaved stereo frames with the
// playing song and the echo (silence when nothing plays) and calls the sync callback for each sync
// command it passes, on the calling thread. Callable on any thread, also without background play:
// the virtual host and the capture call it to render on demand. It must not be called from the
// sync callback.
void MidasRenderAudio(float* samples, int frames);

// Whether MIDASloadModule falls back to the module built into the program when no file of the
// given name exists (on by default). Tests switch it off to see a missing module.
void MidasUseFallbackModule(bool use);

// The largest module file that is read; a larger one is a failed load.
constexpr std::size_t midasMaxModuleBytes = std::size_t{64} << 20;

// The bytes MIDASloadModule would load for `fileName`: the file when one of that name exists (false
// when it is not a plain file of at most midasMaxModuleBytes, or cannot be read), otherwise the
// built-in module when the fallback is on and there is one.
bool MidasReadModule(const char* fileName, std::vector<std::uint8_t>& bytes);

// One sync command of a module: the time from the song's start at which its row begins, its song
// position and row, and its value.
struct MidasCue {
    double timeMs;
    std::uint32_t order;
    std::uint32_t row;
    std::uint32_t value;
};

// The sync commands of one pass of the song in `data` as it plays: each at the time from the song's
// start at which its row begins, in play order (a row played twice listed twice, a position the
// song never reaches not at all), tempo and speed changes included. A sync fires up to one
// 64-frame slice after its row begins. Empty when the data is not a playable XM module.
std::vector<MidasCue> MidasListCues(const std::uint8_t* data, std::size_t size);

// The length of one pass of the song in `data`, in ms; 0 when it is not a playable module.
double MidasSongLengthMs(const std::uint8_t* data, std::size_t size);

// Every MIDASloadModule loads this file instead of the name it is given (the capture's --module);
// an empty path ends the redirection.
void MidasRedirectModule(const char* path);
