// The current host, and a host that does nothing for code that runs before one is chosen.
#include "platform/host.h"

namespace qhost {
namespace {

IdleHost nullHost;
Host* current = &nullHost;

}  // namespace

Host& Current() { return *current; }
void SetCurrent(Host* host) { current = host ? host : &nullHost; }

}  // namespace qhost
