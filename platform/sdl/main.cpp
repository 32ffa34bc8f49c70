// The program's entry on systems without WinMain: choose the SDL host and run the demo.
#include "platform/win32.h"

int main() { return WinMain(nullptr, nullptr, const_cast<LPSTR>(""), 1); }
