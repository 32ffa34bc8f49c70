// The greeting font: 37 glyphs of 24x19 intensity bytes, and the map from character codes to them.
#pragma once

#include <cstdint>

constexpr int glyphWidth = 24;
constexpr int glyphHeight = 19;
constexpr int glyphCount = 37;
constexpr int glyphBytes = glyphWidth * glyphHeight;
constexpr int fontBytes = glyphCount * glyphBytes;  // 16 872
constexpr std::uint8_t noGlyph = 255;

extern std::uint8_t glyphIndex[256];
extern std::uint8_t fontGlyphs[fontBytes];

// Builds the glyph map and copies the font resource; 0 after reporting a missing or short font.
int LoadFont();
