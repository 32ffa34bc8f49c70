// Field lines of ten wandering poles, glowing in a drifting colour.
#pragma once

#include "render/effect.h"

constexpr int poleCount = 10;

class MagneticField : public PlaneEffect {
public:
    int Render(std::int32_t time) override;
    int Init() override;

    std::int32_t startTime = 0;  // demo ms
    std::uint32_t endTime = 0;   // last demo ms drawn; `never`: no end
};

// Where the poles stand at effect ms `t` (at least 0), in screen pixels.
void PolePositions(std::int32_t t, std::int32_t poleX[poleCount], std::int32_t poleY[poleCount]);
// The fading line from grid point (x, y) along a field sum.
void DrawFieldLine(std::int32_t x, std::int32_t y, std::int32_t sumX, std::int32_t sumY, std::uint8_t* canvas);
