// A single colour added over the whole frame, fading linearly to nothing.
#pragma once

#include "render/effect.h"

class ScreenFlash : public Effect {
public:
    int Render(std::int32_t time) override;
    int Init() override;

    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    float fadeRate = 0;          // the flash lasts 75 / fadeRate ms
    std::int32_t startTime = 0;  // demo ms at full strength
};

// The fill colour 0x00RRGGBB of a colour at the given strength, each channel truncated.
DWORD FlashFill(std::uint8_t red, std::uint8_t green, std::uint8_t blue, float strength);
