// A height picture embossed and lit by a wandering light spot, fading in, cross-fading to a second
// picture and fading out.
#pragma once

#include "render/effect.h"

class BumpedSurface : public PlaneEffect {
public:
    int Render(std::int32_t time) override;
    int Init() override;

    // The steps of a frame, in the order Render runs them after the palette.
    // accum gets pictureA, pictureB or their blend by where `time` lies against crossfadeStart.
    void ComposeHeights(std::uint32_t time);
    // Lights the relief in accum into canvas rows 0..237 with the light where it stands at `time`.
    void LightUp(std::int32_t time);
    // The blue ramp at brightness `lightLevel` (0..255).
    void BuildPalette(int lightLevel);

    std::uint8_t lightMap[256 * 256] = {};
    std::uint8_t pictureA[planeSize] = {};
    std::uint8_t pictureB[planeSize] = {};
    std::uint32_t crossfadeStart = 0;  // demo ms, or `never`
    std::uint32_t fadeOutStart = 0;    // demo ms, or `never`

private:
    void BuildLightMap();
};
