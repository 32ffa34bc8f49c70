// Win32 over the host: one window with its procedure, a posted-message queue, the keyboard state,
// the tick clock, message boxes and the program's compiled-in resources.
#include "platform/win32.h"

#include <array>
#include <cstring>
#include <deque>
#include <string>

#include "platform/host.h"
#include "platform/resources.h"

namespace {

struct Window {
    WNDPROC procedure = nullptr;
    bool alive = false;
};

Window window;
WNDCLASSA registeredClass{};
std::deque<MSG> queue;
bool quitPosted = false;
int quitCode = 0;
std::array<bool, 256> pressedSinceQuery{};

HWND Handle() { return reinterpret_cast<HWND>(&window); }
bool IsOurs(HWND hwnd) { return hwnd == Handle() && window.alive; }

qhost::Host& Host(const char* call) {
    qhost::Host& host = qhost::Current();
    host.Record(call);
    return host;
}

// Resource handles point at the resource's entry; an overridden one lives in this slot.
qres::Resource overridden{};

const qres::Resource* Find(int id, const char* type) {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (qhost::Current().OverrideResource(id, data, size)) {
        if (!data) return nullptr;
        overridden = {id, type, data, size};
        return &overridden;
    }
    for (std::size_t i = 0; i < qres::tableSize; ++i)
        if (qres::table[i].id == id && std::strcmp(qres::table[i].type, type) == 0) return &qres::table[i];
    return nullptr;
}

bool IsIntResource(LPCSTR name) { return reinterpret_cast<std::uintptr_t>(name) <= 0xFFFF; }
int IntResource(LPCSTR name) { return static_cast<int>(reinterpret_cast<std::uintptr_t>(name)); }

}  // namespace

namespace qhost {

void PostKeyDown(int virtualKey) {
    pressedSinceQuery[static_cast<std::size_t>(virtualKey & 0xFF)] = true;
    if (window.alive) PostMessageA(Handle(), WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 0);
}

void PostWindowMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (window.alive) queue.push_back(MSG{Handle(), message, wParam, lParam, 0, {0, 0}});
}

void SendSetCursor() {
    if (window.alive && window.procedure) {
        const LRESULT handled = window.procedure(Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Handle()), 0);
        if (!handled) Current().ShowCursor(true);
    }
}

}  // namespace qhost

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    Host("RegisterClassA");
    if (!windowClass || !windowClass->lpfnWndProc) return 0;
    registeredClass = *windowClass;
    return 1;
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR name) {
    Host("LoadIconA");
    if (!IsIntResource(name)) return nullptr;
    return reinterpret_cast<HICON>(const_cast<qres::Resource*>(Find(IntResource(name), "ICON")));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR name) {
    Host("LoadCursorA");
    static int arrow;
    return name == IDC_ARROW ? reinterpret_cast<HCURSOR>(&arrow) : nullptr;
}

HGDIOBJ WINAPI GetStockObject(int object) {
    Host("GetStockObject");
    static int blackBrush;
    return object == BLACK_BRUSH ? &blackBrush : nullptr;
}

int WINAPI GetSystemMetrics(int index) {
    qhost::Host& host = Host("GetSystemMetrics");
    if (index == SM_CXSCREEN) return host.DesktopWidth();
    if (index == SM_CYSCREEN) return host.DesktopHeight();
    return 0;
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD, int, int, int, int, HWND, HMENU,
                            HINSTANCE, LPVOID) {
    qhost::Host& host = Host("CreateWindowExA");
    if (window.alive || !className || !registeredClass.lpszClassName ||
        std::strcmp(className, registeredClass.lpszClassName) != 0)
        return nullptr;
    if (host.Fault("CreateWindowExA") || !host.OpenWindow(windowName ? windowName : "")) return nullptr;
    window = {registeredClass.lpfnWndProc, true};
    queue.clear();
    quitPosted = false;
    return Handle();
}

BOOL WINAPI ShowWindow(HWND, int) {
    Host("ShowWindow");
    return FALSE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    Host("UpdateWindow");
    return IsOurs(hwnd);
}

HWND WINAPI SetFocus(HWND hwnd) {
    Host("SetFocus");
    return IsOurs(hwnd) ? Handle() : nullptr;
}

HWND WINAPI GetActiveWindow() {
    Host("GetActiveWindow");
    return window.alive ? Handle() : nullptr;
}

// WM_DESTROY reaches the procedure while the window still exists, then it is gone.
BOOL WINAPI DestroyWindow(HWND hwnd) {
    qhost::Host& host = Host("DestroyWindow");
    if (!IsOurs(hwnd)) return FALSE;
    window.procedure(hwnd, WM_DESTROY, 0, 0);
    window.alive = false;
    std::erase_if(queue, [](const MSG& m) { return m.hwnd != nullptr; });
    host.CloseWindow();
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM, LPARAM) {
    Host("DefWindowProcA");
    if (message == WM_CLOSE) DestroyWindow(hwnd);
    return 0;
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Host("PostMessageA");
    if (hwnd && !IsOurs(hwnd)) return FALSE;
    queue.push_back(MSG{hwnd, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    Host("PostQuitMessage");
    quitPosted = true;
    quitCode = exitCode;
}

// The quit message comes after everything already posted, as on Windows.
BOOL WINAPI PeekMessageA(LPMSG message, HWND, UINT, UINT, UINT removeFlags) {
    qhost::Host& host = Host("PeekMessageA");
    host.PollInput();
    if (queue.empty() && !quitPosted) return FALSE;
    *message = queue.empty() ? MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0, 0, {0, 0}} : queue.front();
    if (removeFlags & PM_REMOVE) {
        if (queue.empty())
            quitPosted = false;
        else
            queue.pop_front();
    }
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG message, HWND, UINT, UINT) {
    qhost::Host& host = Host("GetMessageA");
    while (queue.empty() && !quitPosted) {
        host.WaitForInput();
        host.PollInput();
    }
    if (queue.empty()) {
        quitPosted = false;
        *message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0, 0, {0, 0}};
        return FALSE;
    }
    *message = queue.front();
    queue.pop_front();
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    Host("TranslateMessage");
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
    Host("DispatchMessageA");
    if (!message || !IsOurs(message->hwnd)) return 0;
    return window.procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    Host("SetCursor").ShowCursor(cursor != nullptr);
    return nullptr;
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    Host("MessageBoxA").ShowMessageBox(text ? text : "", caption ? caption : "");
    return 1;  // IDOK
}

// Bit 15: down now. Bit 0: pressed since the previous query.
SHORT WINAPI GetAsyncKeyState(int key) {
    qhost::Host& host = Host("GetAsyncKeyState");
    const std::size_t k = static_cast<std::size_t>(key & 0xFF);
    int state = host.KeyDown(key) ? 0x8000 : 0;
    if (pressedSinceQuery[k]) state |= 1;
    pressedSinceQuery[k] = false;
    return static_cast<SHORT>(state);
}

DWORD WINAPI GetTickCount() { return qhost::Current().Ticks(); }

HRSRC WINAPI FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    Host("FindResourceA");
    if (!IsIntResource(name) || !type || IsIntResource(type)) return nullptr;
    return reinterpret_cast<HRSRC>(const_cast<qres::Resource*>(Find(IntResource(name), type)));
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
    Host("SizeofResource");
    return resource ? static_cast<DWORD>(reinterpret_cast<const qres::Resource*>(resource)->size) : 0;
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) {
    Host("LoadResource");
    return resource;
}

LPVOID WINAPI LockResource(HGLOBAL resource) {
    Host("LockResource");
    return resource ? const_cast<unsigned char*>(static_cast<const qres::Resource*>(resource)->data) : nullptr;
}
