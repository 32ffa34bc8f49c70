// Field lines of ten wandering poles, glowing in a drifting colour.
#pragma once

#include "render/effect.h"

class MagneticField : public PlaneEffect {
public:
    int Render(std::int32_t time) override;
    int Init() override;

    std::int32_t startTime = 0;   // demo ms
    std::uint32_t endTime = 0;    // last demo ms drawn; 0xFFFFFFFF: never ends
};
