// A height picture embossed and lit by a wandering light spot, fading in, cross-fading to a second
// picture and fading out.
#pragma once

#include "render/effect.h"

class BumpedSurface : public PlaneEffect {
public:
    int Render(std::int32_t time) override;
    int Init() override;

    std::uint8_t lightMap[256 * 256] = {};
    std::uint8_t pictureA[planeSize] = {};
    std::uint8_t pictureB[planeSize] = {};
    std::uint32_t crossfadeStart = 0;   // demo ms; 0xFFFFFFFF: never
    std::uint32_t fadeOutStart = 0;     // demo ms; 0xFFFFFFFF: never
};
