// The demo's side of the music: the echo set, the music start, the sync callback and the Space skip.
#include "music/music.h"

#include "effects/effects.h"
#include "music/timeline.h"
#include "render/truncate.h"
#include "platform/win32.h"

std::atomic<std::int32_t> syncCount{0};
MIDASmodule musicModule = 0;
MIDASmodulePlayHandle playHandle = 0;
MIDASechoHandle echoHandle = 0;

namespace {

// Short decimal values times 65535, truncated: delays 42, 79, 157, 163 and 407 ms; gains 0.16,
// -0.19, -0.27, 0.28 and 0.24; feedback 0.75 and gain 0.85 for the set.
MIDASecho echoes[5] = {
    {2752470, 10485, 0, 1},  {5177265, -12451, 0, 1}, {10288995, -17694, 1, 1},
    {10682205, 18349, 0, 1}, {26672745, 15728, 1, 1},
};

}  // namespace

MIDASechoSet echoSet = {49151, 55704, 5, echoes};

std::int32_t EventTime() {
    const double mixingBuffer = MIDASgetOption(MIDAS_OPTION_MIXBUFLEN);
    return TruncateToInt32(mixingBuffer + demoTime.load(std::memory_order_relaxed));
}

void MusicSyncCallback(std::uint32_t value, std::uint32_t, std::uint32_t) {
    if (value == 0) {
        syncCount.store(syncCount.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    } else if (value == 2) {
        const std::int32_t count = syncCount.load(std::memory_order_relaxed);
        if (count >= 5)
            topText.changeTime.store(static_cast<std::uint32_t>(EventTime()) -
                                         static_cast<std::uint32_t>(topText.startTime.load(std::memory_order_relaxed)),
                                     std::memory_order_relaxed);
        if (count >= 6)
            bottomText.changeTime.store(
                static_cast<std::uint32_t>(EventTime()) -
                    static_cast<std::uint32_t>(bottomText.startTime.load(std::memory_order_relaxed)),
                std::memory_order_relaxed);
    }
    const std::uint32_t beat = static_cast<std::uint32_t>(EventTime()) -
                               static_cast<std::uint32_t>(dotCube.startTime.load(std::memory_order_relaxed));
    dotCube.beatTime.store(static_cast<std::int32_t>(beat), std::memory_order_relaxed);
}

void StartMusic() {
    MIDASinit();
    echoHandle = MIDASaddEchoEffect(&echoSet);
    MIDASstartBackgroundPlay(0);
    musicModule = MIDASloadModule("quendralis.xm");
    playHandle = MIDASplayModule(musicModule, 1);
    MIDASsetMusicSyncCallback(playHandle, MusicSyncCallback);
}

void SpaceSkip() {
    if (GetAsyncKeyState(VK_SPACE) == 0) return;
    MIDASplayStatus status{};
    MIDASgetPlayStatus(playHandle, &status);
    MIDASsetPosition(playHandle, static_cast<int>(status.position + 1));
}
