// The page's program: run the demo on the web host; the page reports the exit code.
#include <emscripten.h>

#include "platform/web/web_host.h"
#include "platform/win32.h"

int main(int, char**) {
    qhost::WebHost host;
    qhost::SetCurrent(&host);
    const int result = WinMain(nullptr, nullptr, const_cast<LPSTR>(""), 1);
    qhost::SetCurrent(nullptr);
    // main has been suspended at every frame: the runtime would outlive its return. The page hears
    // the exit code through its onExit.
    emscripten_force_exit(result);
    return result;
}
