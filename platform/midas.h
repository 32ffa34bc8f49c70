// The module player that the demo's music runs on: start-up and close, module load and play,
// background playback, the echo effect, the music-sync callback, play status and song position.
// It is ours on every system; platform/midas.cpp implements it over libopenmpt and the host's audio.
#pragma once

#include <cstdint>

// Opaque 32-bit handles that the player returns and the demo hands back unchanged; 0 is none.
typedef std::uint32_t MIDASmodule;
typedef std::uint32_t MIDASmodulePlayHandle;
typedef std::uint32_t MIDASechoHandle;

// One echo: a delayed copy of the output (values in 16.16 fixed point).
struct MIDASecho {
    std::uint32_t delay;           // milliseconds, 16.16
    std::int32_t gain;             // 16.16, may be negative
    std::int32_t reverseChannels;  // 1: left and right swapped
    std::uint32_t filterType;      // 1: low-pass filtered
};

// A set of echoes with a shared feedback and output gain; read while the echo is active.
struct MIDASechoSet {
    std::int32_t feedback;  // 16.16
    std::int32_t gain;      // 16.16
    std::uint32_t numEchoes;
    MIDASecho* echoes;
};

// Filled by MIDASgetPlayStatus.
struct MIDASplayStatus {
    std::uint32_t position;  // song position (order)
    std::uint32_t pattern;
    std::uint32_t row;
    std::int32_t syncInfo;  // value of the last sync command played, -1 before any
    std::uint32_t songLoopCount;
};

// Called on the playback thread for each sync command the song passes: its value, order and row.
typedef void (*MIDASsyncCallback)(std::uint32_t syncValue, std::uint32_t position, std::uint32_t row);

// MIDASgetOption: the mixing-buffer length in milliseconds.
#define MIDAS_OPTION_MIXBUFLEN 3

// Life of the player: the shell's start-up and shutdown.
int MIDASstartup();
int MIDASinit();
int MIDASstartBackgroundPlay(std::uint32_t pollRate);
int MIDASstopBackgroundPlay();
int MIDASclose();

// The song: music start, Space skip and shutdown.
MIDASmodule MIDASloadModule(const char* fileName);
MIDASmodulePlayHandle MIDASplayModule(MIDASmodule module, int loopSong);
int MIDASsetMusicSyncCallback(MIDASmodulePlayHandle playHandle, MIDASsyncCallback callback);
int MIDASgetPlayStatus(MIDASmodulePlayHandle playHandle, MIDASplayStatus* status);
int MIDASsetPosition(MIDASmodulePlayHandle playHandle, int newPosition);
int MIDASstopModule(MIDASmodulePlayHandle playHandle);
int MIDASfreeModule(MIDASmodule module);

// The echo: added at the music start, removed at the drop.
MIDASechoHandle MIDASaddEchoEffect(MIDASechoSet* echoSet);
int MIDASremoveEchoEffect(MIDASechoHandle echoHandle);

// Options: the mixing-buffer length for sync time stamps.
std::uint32_t MIDASgetOption(int option);
