// Fuzzes module loading through the player as the demo drives it: load from a file, play with the
// sync callback and the echo, skip, render a little, stop and free; and the capture's cue list.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/midas.h"
#include "platform/midas_layer.h"

namespace {

std::uint32_t lastSync;

void OnSync(std::uint32_t value, std::uint32_t, std::uint32_t) {
    if (value > 255) std::abort();
    lastSync = value;
}

const std::string& ModulePath() {
    static const std::string path = "/tmp/quendralis-fuzz-" + std::to_string(getpid()) + ".xm";
    return path;
}

bool WriteModule(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(ModulePath().c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// A few slices, as the audio thread would ask for them.
void Render(int slices) {
    static float samples[2 * 512];
    for (int i = 0; i < slices; ++i) MidasRenderAudio(samples, 512);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    MidasUseFallbackModule(false);
    if (!MIDASstartup() || !MIDASinit()) std::abort();
    std::atexit([] { std::remove(ModulePath().c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const MidasCue& cue : MidasListCues(data, size))
        if (cue.value > 255 || !(cue.timeMs >= 0)) std::abort();
    if (!WriteModule(data, size)) std::abort();

    const MIDASmodule module = MIDASloadModule(ModulePath().c_str());
    if (!module) return 0;
    const MIDASmodulePlayHandle play = MIDASplayModule(module, 1);
    if (!play) std::abort();  // a module that loaded must play
    MIDASsetMusicSyncCallback(play, OnSync);
    MIDASecho echo{0x00280000, 0x8000, 1, 1};
    MIDASechoSet echoSet{0x4000, 0x10000, 1, &echo};
    const MIDASechoHandle echoHandle = MIDASaddEchoEffect(&echoSet);
    Render(8);
    MIDASsetPosition(play, size > 0 ? data[size - 1] % 8 : 0);
    Render(8);
    MIDASplayStatus status{};
    if (!MIDASgetPlayStatus(play, &status) || status.syncInfo > 255) std::abort();
    if (echoHandle) MIDASremoveEchoEffect(echoHandle);
    Render(2);
    MIDASstopModule(play);
    MIDASfreeModule(module);
    return 0;
}
