// The program's entry on systems without WinMain: run the demo on the SDL host.
#include "platform/sdl/sdl_host.h"
#include "platform/win32.h"

int main(int, char**) {
    qhost::SdlHost host;
    qhost::SetCurrent(&host);
    const int result = WinMain(nullptr, nullptr, const_cast<LPSTR>(""), 1);
    qhost::SetCurrent(nullptr);
    return result;
}
