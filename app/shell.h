// The demo shell: the entry, the window and display device, shutdown and the one failure report.
#pragma once

#include "platform/ddraw.h"
#include "platform/win32.h"

extern HINSTANCE appInstance;
extern float startTick;  // GetTickCount right after the music started, rounded to a float

extern IDirectDraw7* directDraw;
extern IDirectDrawSurface7* primarySurface;
extern IDirectDrawSurface7* backBuffer;  // system memory; never released on its own
extern int screenWidth;
extern int screenHeight;

int InitDisplay(int showCommand);
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void Shutdown();
// Shuts down, shows the message titled "Test area", destroys the window; always returns 0.
int ReportFailure(HWND window, HRESULT code, const char* format, ...);
