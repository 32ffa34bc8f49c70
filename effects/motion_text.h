// One line of greeting text that splits and merges when it changes, in a blue glow.
#pragma once

#include <atomic>

#include "render/effect.h"

// Pixels each copy of a glyph stands off its place: 8 for the first 64 ms after the change, one less
// every 64 ms, 0 from 512 ms on. Both times are ms after startTime; the difference wraps on purpose,
// so a frame before the change also gives 0.
std::int32_t GhostOffset(std::uint32_t rel, std::uint32_t changeTime);

class MotionText : public PlaneEffect {
public:
    int Render(std::int32_t time) override;
    int Setup(std::int32_t alignLeft);
    void SetPosition(std::int32_t x, std::int32_t y);
    // Texts longer than 19 characters are cut to 19, so the terminator always fits.
    void SetNextText(const char* next);
    // Adds each glyph of `text` into canvas twice, `offset` pixels left and right of its cell.
    void DrawGlyphs(std::int32_t offset);

    char text[20] = {};
    char nextText[20] = {};
    std::atomic<std::int32_t> startTime{0};    // demo ms; read by the music thread
    std::atomic<std::uint32_t> changeTime{0};  // ms after startTime; written by the music thread
    std::int32_t posX = 0;                     // left edge of the shown text
    std::int32_t posY = 0;                     // top row
    std::int32_t alignLeft = 0;                // 0: SetPosition's x is the right edge
    std::int32_t textPending = 0;

private:
    void ShowNextText();
    void AddGlyphCopy(const std::uint8_t* glyph, std::int64_t left);
};
