// One line of greeting text that splits and merges when it changes, in a blue glow.
#pragma once

#include <atomic>

#include "render/effect.h"

class MotionText : public PlaneEffect {
public:
    int Render(std::int32_t time) override;
    int Setup(std::int32_t alignLeft);
    void SetPosition(std::int32_t x, std::int32_t y);
    void SetNextText(const char* next);

    char text[20] = {};
    char nextText[20] = {};
    std::atomic<std::int32_t> startTime{0};     // demo ms; read by the music thread
    std::atomic<std::uint32_t> changeTime{0};   // ms after startTime; written by the music thread
    std::int32_t posX = 0;                      // left edge of the shown text
    std::int32_t posY = 0;                      // top row
    std::int32_t alignLeft = 0;                 // 0: SetPosition's x is the right edge
    std::int32_t textPending = 0;
};
