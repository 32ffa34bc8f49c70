// The demo's only window and its display device: the full-screen 320x240x32 mode, the screen and
// the back buffer, the window procedure, shutdown and the failure report.
#include <cstdarg>
#include <cstdio>

#include "app/resource_ids.h"
#include "app/shell.h"
#include "music/music.h"
#include "platform/midas.h"

IDirectDraw7* directDraw = nullptr;
IDirectDrawSurface7* primarySurface = nullptr;
IDirectDrawSurface7* backBuffer = nullptr;
int screenWidth = 320;
int screenHeight = 240;

namespace {

const char className[] = "DemoTest";
const char title[] = "Test area";

void RegisterWindowClass() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = appInstance;
    windowClass.hIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_QUENDRALIS));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = className;  // no menu of that name exists, so the window has none
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
}

HWND CreateDemoWindow(int showCommand) {
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, className, title, WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                  appInstance, nullptr);
    if (!window) return nullptr;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SetFocus(window);
    return window;
}

}  // namespace

int InitDisplay(int showCommand) {
    RegisterWindowClass();
    HWND window = CreateDemoWindow(showCommand);
    if (!window) return 0;

    HRESULT result = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw), IID_IDirectDraw7, nullptr);
    if (result != DD_OK) return ReportFailure(window, result, "Init> DirectDrawCreateEx FAILED");
    result = directDraw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    if (result != DD_OK) return ReportFailure(window, result, "Init> SetCooperativeLevel FAILED");
    result = directDraw->SetDisplayMode(static_cast<DWORD>(screenWidth), static_cast<DWORD>(screenHeight), 32, 0, 0);
    if (result != DD_OK) return ReportFailure(window, result, "Init> SetDisplayMode FAILED");

    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS;
    description.dwBackBufferCount = 0;
    description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    result = directDraw->CreateSurface(&description, &primarySurface, nullptr);
    if (result != DD_OK) return ReportFailure(window, result, "Init> CreateSurface FAILED");

    description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    description.dwHeight = static_cast<DWORD>(screenHeight);
    description.dwWidth = static_cast<DWORD>(screenWidth);
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    result = directDraw->CreateSurface(&description, &backBuffer, nullptr);
    if (result != DD_OK) return ReportFailure(window, result, "Init> CreateSurface FAILED");

    MIDASstartup();
    return 1;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        Shutdown();
        PostQuitMessage(0);
        return 0;
    case WM_ACTIVATE:
        return 0;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return 1;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// May run twice (a failure report, then the WM_DESTROY it causes): the pointers are tested and cleared.
void Shutdown() {
    MIDASstopModule(playHandle);
    MIDASfreeModule(musicModule);
    MIDASstopBackgroundPlay();
    MIDASclose();
    if (directDraw) {
        if (primarySurface) {
            primarySurface->Release();
            primarySurface = nullptr;
        }
        directDraw->Release();
        directDraw = nullptr;
    }
}

int ReportFailure(HWND window, HRESULT, const char* format, ...) {
    char text[128];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    Shutdown();
    MessageBoxA(window, text, title, MB_OK);
    DestroyWindow(window);
    return 0;
}
