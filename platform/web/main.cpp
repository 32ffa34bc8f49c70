// The page's program: run the demo on the web host; the page reports the exit code.
#include "platform/web/web_host.h"
#include "platform/win32.h"

int main(int, char**) {
    qhost::WebHost host;
    qhost::SetCurrent(&host);
    const int result = WinMain(nullptr, nullptr, const_cast<LPSTR>(""), 1);
    qhost::SetCurrent(nullptr);
    return result;
}
