// Placeholder module player: accepts every call in every state and plays nothing.
#include "platform/midas.h"

int MIDASstartup() { return 1; }
int MIDASinit() { return 1; }
int MIDASstartBackgroundPlay(std::uint32_t) { return 1; }
int MIDASstopBackgroundPlay() { return 1; }
int MIDASclose() { return 1; }
MIDASmodule MIDASloadModule(const char*) { return 0; }
MIDASmodulePlayHandle MIDASplayModule(MIDASmodule, int) { return 0; }
int MIDASsetMusicSyncCallback(MIDASmodulePlayHandle, MIDASsyncCallback) { return 0; }
int MIDASgetPlayStatus(MIDASmodulePlayHandle, MIDASplayStatus* status) {
    if (status) *status = MIDASplayStatus{};
    return 0;
}
int MIDASsetPosition(MIDASmodulePlayHandle, int) { return 0; }
int MIDASstopModule(MIDASmodulePlayHandle) { return 1; }
int MIDASfreeModule(MIDASmodule) { return 1; }
MIDASechoHandle MIDASaddEchoEffect(MIDASechoSet*) { return 0; }
int MIDASremoveEchoEffect(MIDASechoHandle) { return 0; }
std::uint32_t MIDASgetOption(int) { return 0; }
