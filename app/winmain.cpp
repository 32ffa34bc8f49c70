// The program's entry: start-up in its fixed order, then the frame loop that handles every waiting
// message before it draws a frame and copies it to the screen.
#include "app/resource_ids.h"
#include "app/shell.h"
#include "effects/effects.h"
#include "effects/font.h"
#include "music/music.h"
#include "music/timeline.h"
#include "render/tables.h"

HINSTANCE appInstance = nullptr;
float startTick = 0;

namespace {

// The first failing set-up has already reported itself and shut the demo down.
bool SetUpEffects() {
    return dotCube.Init() && bump.Init() && sweep.Setup(320, 70, IDR_LOGO) && field.Init() && flash.Init() &&
           topText.Setup(1) && bottomText.Setup(0);
}

void PlaceEffects() {
    sweep.centerX = 160;
    sweep.centerY = 120;
    sweep.rayFade = 4;
    topText.SetPosition(10, 30);
    bottomText.SetPosition(310, 191);
}

// A lost screen is restored and the frame counts as shown; a busy one is asked again at once.
void Present() {
    for (;;) {
        const HRESULT result = primarySurface->Blt(nullptr, backBuffer, nullptr, DDBLT_WAIT, nullptr);
        if (result == DDERR_WASSTILLDRAWING) continue;
        if (result == DDERR_SURFACELOST) primarySurface->Restore();
        return;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    appInstance = instance;
    if (!InitDisplay(showCommand)) return 0;
    BuildTrigTables();
    if (!LoadFont()) return 0;
    if (!SetUpEffects()) return 0;
    PlaceEffects();
    GetAsyncKeyState(VK_SPACE);  // forget presses made during start-up
    StartMusic();
    startTick = static_cast<float>(GetTickCount());

    MSG message;
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&message, nullptr, 0, 0)) return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        RunTimeline();
        Present();
    }
}
