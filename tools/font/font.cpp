// Makes data/font.bin: the greeting font, 37 glyphs (A-Z, 0-9, '#') of 19 rows x 24 bytes of intensity,
// drawn from the shared letter strokes with soft, supersampled edges.
//   font OUTPUT_DIR
#include "tools/common/datafile.h"
#include "tools/common/lettering.h"

#include <cstdio>

namespace {

constexpr int cellWidth = 24;
constexpr int cellHeight = 19;
constexpr char glyphOrder[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789#";

// Pixels. A glyph 100 units wide covers columns 1..22, so neighbours keep two clear columns between
// them; the strokes span rows 0.5..18.5 of the cell.
constexpr double halfWidth = 2.15;
constexpr double cornerRadius = 4.5;
constexpr double inkLeft = 1.0;
constexpr double inkWidth = 22.0;
constexpr double inkTop = 0.5;
constexpr double inkHeight = 18.0;
constexpr int samples = 8;

void DrawGlyph(const lettering::GlyphShape& shape, std::uint8_t* cell) {
    lettering::Placement place{};
    place.halfWidth = halfWidth;
    place.cornerRadius = cornerRadius;
    place.unitX = (inkWidth - 2.0 * halfWidth) / 100.0;
    place.unitY = (inkHeight - 2.0 * halfWidth) / 100.0;
    // Narrow glyphs sit in the middle of the cell.
    place.left = inkLeft + halfWidth + (100 - shape.width) * place.unitX / 2.0;
    place.top = inkTop + halfWidth;
    const lettering::GlyphField glyph(shape, place);
    for (int y = 0; y < cellHeight; ++y)
        for (int x = 0; x < cellWidth; ++x)
            cell[y * cellWidth + x] = datafile::ToByte(255.0 * lettering::Coverage(glyph, x, y, samples));
}

}  // namespace

int main(int argc, char** argv) {
    const char* dir = datafile::OutputDir(argc, argv, "font");
    if (!dir) return 2;
    constexpr int glyphCount = sizeof glyphOrder - 1;
    std::vector<std::uint8_t> font(glyphCount * cellHeight * cellWidth, 0);
    for (int g = 0; g < glyphCount; ++g) {
        const lettering::GlyphShape* shape = lettering::FindGlyph(glyphOrder[g]);
        if (!shape) {
            std::fprintf(stderr, "font: no strokes for '%c'\n", glyphOrder[g]);
            return 1;
        }
        DrawGlyph(*shape, &font[g * cellHeight * cellWidth]);
    }
    return datafile::Write(dir, "font.bin", font) ? 0 : 1;
}
