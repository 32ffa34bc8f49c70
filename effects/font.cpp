// The greeting font: one letter case, digits and '#', copied from the program's font resource.
#include "effects/font.h"

#include <cstring>

#include "app/resource_ids.h"
#include "render/resource_copy.h"

std::uint8_t glyphIndex[256];
std::uint8_t fontGlyphs[fontBytes];

namespace {

void BuildGlyphIndex() {
    std::memset(glyphIndex, noGlyph, sizeof glyphIndex);
    for (int i = 0; i < 26; ++i) {
        glyphIndex['A' + i] = static_cast<std::uint8_t>(i);
        glyphIndex['a' + i] = static_cast<std::uint8_t>(i);
    }
    for (int i = 0; i < 10; ++i) glyphIndex['0' + i] = static_cast<std::uint8_t>(26 + i);
    glyphIndex[static_cast<unsigned char>('#')] = 36;
}

}  // namespace

int LoadFont() {
    BuildGlyphIndex();
    return CopyBinaryResource(IDR_FONT, fontGlyphs, fontBytes, "LoadFont");
}
