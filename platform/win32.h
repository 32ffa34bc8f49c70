// The part of Win32 that the demo calls, with the names, types and values of the real SDK.
// On Windows the real headers are used; elsewhere the platform layer implements these over its host.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else

#include <cstdint>

// Basic types, sized as on Windows.
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef unsigned int UINT;
typedef short SHORT;
typedef std::int32_t HRESULT;
typedef std::uint32_t ULONG;
typedef WORD ATOM;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;

#define WINAPI
#define CALLBACK
#define FAR
#ifndef NULL
#define NULL nullptr
#endif
#define TRUE 1
#define FALSE 0

// Handles are distinct pointer types, as with STRICT.
#define QUENDRALIS_HANDLE(name) \
    struct name##__ {           \
        int unused;             \
    };                          \
    typedef struct name##__* name
QUENDRALIS_HANDLE(HINSTANCE);
QUENDRALIS_HANDLE(HWND);
QUENDRALIS_HANDLE(HICON);
QUENDRALIS_HANDLE(HBRUSH);
QUENDRALIS_HANDLE(HMENU);
QUENDRALIS_HANDLE(HRSRC);
#undef QUENDRALIS_HANDLE
typedef HICON HCURSOR;
typedef void* HGDIOBJ;
typedef void* HGLOBAL;
typedef HINSTANCE HMODULE;

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(i))))

struct POINT {
    LONG x;
    LONG y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

// Messages and keys.
#define WM_DESTROY 0x0002
#define WM_ACTIVATE 0x0006
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_SETCURSOR 0x0020
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// Window class and window styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define WS_POPUP 0x80000000L
#define WS_EX_TOPMOST 0x00000008L
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define BLACK_BRUSH 4
#define MB_OK 0x00000000L

// Window, messages and input: the shell (app/) and the sequencer's Space key.
ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass);
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name);
HGDIOBJ WINAPI GetStockObject(int object);
int WINAPI GetSystemMetrics(int index);
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL WINAPI ShowWindow(HWND window, int showCommand);
BOOL WINAPI UpdateWindow(HWND window);
HWND WINAPI SetFocus(HWND window);
HWND WINAPI GetActiveWindow();
BOOL WINAPI DestroyWindow(HWND window);
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int exitCode);
BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
BOOL WINAPI TranslateMessage(const MSG* message);
LRESULT WINAPI DispatchMessageA(const MSG* message);
HCURSOR WINAPI SetCursor(HCURSOR cursor);
int WINAPI MessageBoxA(HWND window, LPCSTR text, LPCSTR caption, UINT type);
SHORT WINAPI GetAsyncKeyState(int key);

// The millisecond clock: the frame loop's start tick and the sequencer.
DWORD WINAPI GetTickCount();

// The program's own resources: pictures, logo and font.
HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL resource);

// The program's entry, defined by the demo and called by the layer's main().
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

#endif
