// The course of the show: which scene marker does what, and which effects draw in which order.
#include "music/timeline.h"

#include "app/shell.h"
#include "effects/effects.h"
#include "music/music.h"
#include "render/truncate.h"

std::atomic<float> demoTime{0.0f};
std::int32_t handledSync = 0;

const char* const greetTexts[22] = {
    "Greetz",      "Lumen Forge", "Nightcrawl",  "Byte Harbor", "Cobalt Moth", "Pixel Drift",
    "Vortex Nine", "Ember Loop",  "Static Owls", "Glass Tiger", "finally",     "To",
    "Neon Quarry", "Polar Echo",  "Velvet Grid", "Orbit Lane",  "Rust Comet",  "Tidal Array",
    "Hollow Sun",  "Crescent #7", "and",         "you",
};

namespace {

const char emptyText[] = "";

void StartFlash(std::int32_t eventTime, float fadeRate) {
    flash.startTime = eventTime;
    flash.blue = flash.green = flash.red = 255;
    flash.fadeRate = fadeRate;
}

void ClearBothTexts() {
    topText.SetNextText(emptyText);
    bottomText.SetNextText(emptyText);
}

// The actions of scene marker n, all stamped with this frame's event time.
void ApplyEvent(std::int32_t n, std::int32_t eventTime) {
    const auto at = static_cast<std::uint32_t>(eventTime);
    switch (n) {
    case 1:
        bump.crossfadeStart = at;
        return;
    case 2:
        bump.fadeOutStart = at;
        sweep.startTime = eventTime;
        return;
    case 3:
        sweep.endTime = at;
        field.startTime = eventTime;
        StartFlash(eventTime, 0.05f);
        MIDASremoveEchoEffect(echoHandle);
        return;
    case 4:
        dotCube.startTime.store(eventTime, std::memory_order_relaxed);
        return;
    case 5:
        topText.startTime.store(eventTime, std::memory_order_relaxed);
        topText.SetNextText(greetTexts[0]);
        return;
    case 6:
        bottomText.startTime.store(eventTime, std::memory_order_relaxed);
        bottomText.SetNextText(greetTexts[11]);
        return;
    case 27:
        topText.SetNextText(emptyText);
        return;
    case 28:
        ClearBothTexts();
        sweep.startTime = eventTime;
        sweep.endTime = never;
        return;
    case 31:
        ClearBothTexts();
        StartFlash(eventTime, 0.01f);
        sweep.endTime = at;
        dotCube.endTime = at;
        field.endTime = at;
        return;
    }
    if (n >= 7 && n <= 25 && n % 2 == 1) {
        topText.SetNextText(greetTexts[(n - 5) / 2]);
    } else if (n >= 8 && n <= 26 && n % 2 == 0) {
        bottomText.SetNextText(greetTexts[11 + (n - 6) / 2]);
    } else if (n >= 29) {
        ClearBothTexts();
    }
}

void ClearBackBuffer() {
    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    fill.dwFillColor = 0;
    backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
}

}  // namespace

// The render table in drawing order. Exactly one base layer is copied; every later one is added.
const SceneLayer sceneLayers[7] = {
    {&bump, 0, 2, INT32_MAX, 0, 0},           // copied
    {&field, 3, INT32_MAX, INT32_MAX, 0, 0},  // copied
    {&dotCube, 4, 31, INT32_MAX, 0, 240},
    {&sweep, 2, 3, 29, 0, 240},
    {&flash, 3, 3, 31, 0, 240},
    {&topText, 5, 26, INT32_MAX, 0, 100},
    {&bottomText, 6, 27, INT32_MAX, 140, 240},
};

bool LayerActive(const SceneLayer& layer, std::int32_t h) {
    return (h >= layer.firstCount && h <= layer.lastCount) || h >= layer.againFrom;
}

namespace {

void RenderScene(std::int32_t h, std::int32_t t) {
    for (const SceneLayer& layer : sceneLayers) {
        if (!LayerActive(layer, h) || !layer.effect->Render(t)) continue;
        if (layer.endRow == 0)
            layer.effect->BlitSurface();
        else
            layer.effect->AddSurfaceRows(layer.firstRow, layer.endRow);
    }
}

}  // namespace

void RunTimeline() {
    ClearBackBuffer();
    const float now = static_cast<float>(static_cast<double>(GetTickCount()) - static_cast<double>(startTick));
    demoTime.store(now, std::memory_order_relaxed);

    const std::int32_t n = syncCount.load(std::memory_order_relaxed);
    if (handledSync < n) {
        handledSync = n;
        ApplyEvent(n, EventTime());
    }

    RenderScene(handledSync, TruncateToInt32(now));
    SpaceSkip();
}
