// The rotating, pulsing cube of 1200 glowing dots, drawn as streaks away from its centre.
#pragma once

#include <atomic>

#include "render/effect.h"

struct Dot {
    std::uint16_t x, y, z;  // 0..255, centre at 127
};

class GlowingDotObject : public PlaneEffect {
public:
    int Render(std::int32_t time) override;
    int Init() override;

    Dot dots[1200] = {};
    std::uint8_t tint[3] = {};               // red, green, blue of this frame's palette
    std::atomic<std::int32_t> startTime{0};  // demo ms; read by the music thread
    std::atomic<std::int32_t> beatTime{0};   // last sync, ms after startTime; written by the music thread
    std::uint32_t endTime = 0;               // last demo ms drawn; `never`: no end

private:
    void BuildDots();
};

extern std::int32_t pulseLength;  // the cube's size factor this frame, 50..150

// The size factor `sinceBeat` ms after the last sync (unsigned: a sync ahead wraps): 150 falling
// by 1 every 3 ms to 50, and back to 150 every 400 ms.
std::int32_t PulseLengthAfter(std::uint32_t sinceBeat);
// The three rotation angles at effect ms `t` (at least 0), as table indices 0..3599.
void RotationAngles(std::int32_t t, std::int32_t angles[3]);
