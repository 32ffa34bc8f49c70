// The sequencer: one call per frame clears the back buffer, advances the clock, applies the newest
// scene marker and lets the effects of the current scene draw and composite.
#pragma once

#include <atomic>
#include <cstdint>

extern std::atomic<float> demoTime;  // ms since startTick; read by the music thread
extern std::int32_t handledSync;     // the sync count whose scene changes were applied last
extern const char* const greetTexts[22];

void RunTimeline();

class Effect;
// One row of the render table: the effect, the sync counts it is called at (firstCount..lastCount,
// and every count from againFrom on), and the rows it is added over (0, 0: copied over the whole
// back buffer).
struct SceneLayer {
    Effect* effect;
    std::int32_t firstCount, lastCount, againFrom;
    int firstRow, endRow;
};
extern const SceneLayer sceneLayers[7];
bool LayerActive(const SceneLayer& layer, std::int32_t handled);
