// The current host, and a host that does nothing for code that runs before one is chosen.
#include "platform/host.h"

#include "platform/silent_output.h"

namespace qhost {
namespace {

IdleHost nullHost;
Host* current = &nullHost;

// Never destroyed, like the output it pumps: its thread may still run while the program exits.
qaudio::SilentPump& silentPump = *new qaudio::SilentPump;

}  // namespace

void Host::PumpSilentOutput(qaudio::SilentOutput* output) {
    if (output)
        silentPump.Start(*output, [this] { return Ticks(); });
    else
        silentPump.Stop();
}

Host& Current() { return *current; }
void SetCurrent(Host* host) { current = host ? host : &nullHost; }

}  // namespace qhost
