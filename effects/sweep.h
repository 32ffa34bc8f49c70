// A logo revealed by scan lines that shoot fading light rays away from its centre.
#pragma once

#include "render/effect.h"

class Sweep : public PlaneEffect {
public:
    int Render(std::int32_t time) override;
    // Keeps the logo's size in width and height, loads it from a "Binary" resource once.
    int Setup(std::int32_t logoWidth, std::int32_t logoHeight, std::int32_t resourceId);

    std::uint8_t* logo = nullptr;   // width x height bytes, 0 is background
    std::int32_t startTime = 0;     // demo ms
    std::uint32_t endTime = 0;      // last demo ms drawn; 0xFFFFFFFF: never ends
    std::int32_t centerX = 0;
    std::int32_t centerY = 0;
    std::int32_t rayFade = 0;       // intensity lost per ray pixel (low 8 bits)
};
