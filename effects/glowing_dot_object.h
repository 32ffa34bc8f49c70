// The rotating, pulsing cube of 1200 glowing dots, drawn as streaks away from its centre.
#pragma once

#include <atomic>

#include "render/effect.h"

struct Dot {
    std::uint16_t x, y, z;   // 0..255, centre at 127
};

class GlowingDotObject : public PlaneEffect {
public:
    int Render(std::int32_t time) override;
    int Init() override;

    Dot dots[1200] = {};
    std::uint8_t tint[3] = {};                 // red, green, blue of this frame's palette
    std::atomic<std::int32_t> startTime{0};    // demo ms; read by the music thread
    std::atomic<std::int32_t> beatTime{0};     // last sync, ms after startTime; written by the music thread
    std::uint32_t endTime = 0;                 // last demo ms drawn; 0xFFFFFFFF: never ends
};

extern std::int32_t pulseLength;   // the cube's size factor this frame, 50..150
