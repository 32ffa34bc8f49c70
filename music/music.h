// The music: playback with its echo, the sync counter that drives the scenes, and the Space skip.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/midas.h"

extern std::atomic<std::int32_t> syncCount;  // sync commands with value 0 played so far
extern MIDASmodule musicModule;
extern MIDASmodulePlayHandle playHandle;
extern MIDASechoHandle echoHandle;
extern MIDASechoSet echoSet;

// Called on the player's thread for every sync command the song passes.
void MusicSyncCallback(std::uint32_t value, std::uint32_t position, std::uint32_t row);
// The mixing-buffer length plus the demo time: when a sync event is heard, in demo ms.
std::int32_t EventTime();
// Start-up's music steps: init, echo, background play, load, play, callback.
void StartMusic();
// Once per frame: a Space press moves the song to its next position.
void SpaceSkip();
