// A logo revealed by scan lines that shoot fading light rays away from its centre.
#pragma once

#include "render/effect.h"

class Sweep : public PlaneEffect {
public:
    int Render(std::int32_t time) override;
    // Keeps the logo's size in width and height, loads it from a "Binary" resource once.
    int Setup(std::int32_t logoWidth, std::int32_t logoHeight, std::int32_t resourceId);

    // The drawing steps of a frame at phase `phase` (75 ms each), both into canvas.
    // From phase height/2 + 1 on, the logo at a brightness rising by 2 per phase up to 255.
    void DrawLogo(std::int32_t phase);
    // While phase < height, the rays of the three scan lines; nothing after.
    void CastRays(std::int32_t phase);

    std::uint8_t* logo = nullptr;  // width x height bytes, 0 is background
    std::int32_t startTime = 0;    // demo ms
    std::uint32_t endTime = 0;     // last demo ms drawn; `never`: no end
    std::int32_t centerX = 0;
    std::int32_t centerY = 0;
    std::int32_t rayFade = 0;  // intensity lost per ray pixel (low 8 bits)

private:
    int LoadLogo(std::int32_t resourceId);
    void BuildPalette();
    void CastColumnRays(std::int32_t column);
};
