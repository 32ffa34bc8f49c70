// Placeholder until the effect is built: a surface and no drawing.
#include "effects/motion_text.h"

#include <cstring>

int MotionText::Setup(std::int32_t left) {
    alignLeft = left;
    text[0] = 0;
    posX = posY = 0;
    changeTime = 0xFFFFFFFF;
    textPending = 0;
    return CreateOwnSurface(320, 240, DDSCAPS_OFFSCREENPLAIN, "MotionText> CreateSurface FAILED");
}

void MotionText::SetPosition(std::int32_t x, std::int32_t y) {
    posX = alignLeft ? x : x - 24 * static_cast<std::int32_t>(std::strlen(text));
    posY = y;
}

void MotionText::SetNextText(const char* next) {
    textPending = 1;
    std::strncpy(nextText, next, sizeof nextText - 1);
    nextText[sizeof nextText - 1] = 0;
}

int MotionText::Render(std::int32_t) { return 0; }
