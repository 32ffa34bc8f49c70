// The greeting lines: glyphs added twice with a shrinking offset into canvas, glowing on in accum.
#include "effects/motion_text.h"

#include <algorithm>
#include <cstring>

#include "effects/font.h"

namespace {

constexpr std::uint32_t msPerGhostStep = 64;
constexpr std::int32_t maxGhostOffset = 8;
// The glow band reaches this far above the text's top row and ends this far below it.
constexpr std::int64_t glowAbove = 10;
constexpr std::int64_t glowBelow = 29;
constexpr std::int64_t minBlurRows = 3;

// Text lengths are at most 19, so the width always fits; positions wrap rather than overflow.
std::int32_t MovedBy(std::int32_t x, std::uint32_t characters, bool right) {
    const std::uint32_t width = glyphWidth * characters;
    return static_cast<std::int32_t>(right ? static_cast<std::uint32_t>(x) + width
                                           : static_cast<std::uint32_t>(x) - width);
}

std::uint32_t Length(const char* s) { return static_cast<std::uint32_t>(std::strlen(s)); }

// Black to blue over the lower half, light blue towards nearly white over the upper half.
std::uint32_t PaletteEntry(std::uint32_t i) {
    if (i < 128) return i << 8 | 2 * i;
    return 2 * (i - 128) << 16 | i << 8 | 255;
}

}  // namespace

std::int32_t GhostOffset(std::uint32_t rel, std::uint32_t changeTime) {
    const std::uint32_t delta = rel - changeTime;
    constexpr std::uint32_t steps = maxGhostOffset + 1;
    if (delta >= steps * msPerGhostStep) return 0;
    return maxGhostOffset - static_cast<std::int32_t>(delta / msPerGhostStep);
}

int MotionText::Setup(std::int32_t left) {
    alignLeft = left;
    text[0] = 0;
    posX = posY = 0;
    changeTime.store(never, std::memory_order_relaxed);
    textPending = 0;
    return CreateOwnSurface(320, 240, DDSCAPS_OFFSCREENPLAIN, "MotionText> CreateSurface FAILED");
}

void MotionText::SetPosition(std::int32_t x, std::int32_t y) {
    posX = alignLeft ? x : MovedBy(x, Length(text), false);
    posY = y;
}

void MotionText::SetNextText(const char* next) {
    textPending = 1;
    std::size_t n = 0;
    for (; n + 1 < sizeof nextText && next[n]; ++n) nextText[n] = next[n];
    nextText[n] = 0;
}

void MotionText::ShowNextText() {
    textPending = 0;
    // A right-aligned line keeps its right edge where it was.
    if (!alignLeft) posX = MovedBy(posX, Length(text), true);
    std::memcpy(text, nextText, sizeof text);
    if (!alignLeft) posX = MovedBy(posX, Length(text), false);
}

// The caller keeps the text inside the plane; a copy that would leave it is dropped, row by row
// vertically and whole horizontally, rather than written outside or wrapped onto the next row.
void MotionText::AddGlyphCopy(const std::uint8_t* glyph, std::int64_t left) {
    if (left < 0 || left + glyphWidth > planeWidth) return;
    for (int r = 0; r < glyphHeight; ++r) {
        const std::int64_t row = std::int64_t{posY} + r;
        if (row < 0 || row >= planeHeight) continue;
        std::uint8_t* to = canvas + row * planeWidth + left;
        const std::uint8_t* from = glyph + r * glyphWidth;
        for (int b = 0; b < glyphWidth; ++b) to[b] = static_cast<std::uint8_t>(std::min(255, to[b] + from[b]));
    }
}

void MotionText::DrawGlyphs(std::int32_t offset) {
    for (std::int64_t k = 0; k < static_cast<std::int64_t>(sizeof text) && text[k]; ++k) {
        const std::uint8_t glyph = glyphIndex[static_cast<unsigned char>(text[k])];
        if (glyph == noGlyph) continue;  // a character without a glyph still takes its cell
        const std::uint8_t* bitmap = fontGlyphs + glyph * glyphBytes;
        const std::int64_t cell = std::int64_t{posX} + glyphWidth * k;
        AddGlyphCopy(bitmap, cell - offset);
        AddGlyphCopy(bitmap, cell + offset);
    }
}

int MotionText::Render(std::int32_t time) {
    const std::uint32_t change = changeTime.load(std::memory_order_relaxed);
    const std::int32_t since = TimeSince(time, startTime.load(std::memory_order_relaxed));
    if (since < 0) return 0;
    const auto rel = static_cast<std::uint32_t>(since);

    if (textPending && rel > change) ShowNextText();
    for (std::uint32_t i = 0; i < 256; ++i) palette[i] = PaletteEntry(i);

    const std::int32_t c = GhostOffset(rel, change);
    DrawGlyphs(c);

    // The band around the text, kept inside the plane and wide enough for the blur.
    const std::int64_t first = std::clamp<std::int64_t>(std::int64_t{posY} - glowAbove, 0, planeHeight - minBlurRows);
    const std::int64_t end = std::clamp<std::int64_t>(std::int64_t{posY} + glowBelow, first + minBlurRows, planeHeight);
    // Blur before the blend, so the fresh glyphs stay sharp for this frame and only older ones glow.
    BlurPlane(accum, accum, static_cast<int>(first), static_cast<int>(end));
    BlendPlanes(accum, canvas, 64 + 16 * c, 192 - 16 * c, static_cast<int>(first), static_cast<int>(end));
    ExpandToSurface(accum);
    ClearPlane(canvas);
    return 1;
}
