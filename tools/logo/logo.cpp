// Makes data/logo.bin: the name QUENDRALIS across a 320x70 picture of intensities with a background of
// exactly 0, in the shared letter style with bevelled strokes lit from the top left.
//   logo OUTPUT_DIR
#include "tools/common/datafile.h"
#include "tools/common/lettering.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int logoWidth = 320;
constexpr int logoHeight = 70;
constexpr char name[] = "QUENDRALIS";

// Pixels. The letters fill columns marginX..319-marginX, rows inkTop..inkTop+inkHeight.
constexpr double marginX = 1.5;
constexpr double gap = 3.5;
constexpr double halfWidth = 5.0;
constexpr double cornerRadius = 9.0;
constexpr double inkTop = 10.0;
constexpr double inkHeight = 50.0;
constexpr double bevel = 2.6;  // width of the sloped rim of each stroke
constexpr int samples = 4;     // per pixel and axis

std::vector<lettering::GlyphField> PlaceLetters() {
    const int count = sizeof name - 1;
    int designWidth = 0;
    for (int i = 0; i < count; ++i) designWidth += lettering::FindGlyph(name[i])->width;
    const double inkWidth = logoWidth - 2.0 * marginX;
    const double unitX = (inkWidth - count * 2.0 * halfWidth - (count - 1) * gap) / designWidth;
    std::vector<lettering::GlyphField> letters;
    double x = marginX;
    for (int i = 0; i < count; ++i) {
        const lettering::GlyphShape& shape = *lettering::FindGlyph(name[i]);
        const lettering::Placement place{
            x + halfWidth, inkTop + halfWidth, unitX, (inkHeight - 2.0 * halfWidth) / 100.0, halfWidth, cornerRadius};
        letters.emplace_back(shape, place);
        x += shape.width * unitX + 2.0 * halfWidth + gap;
    }
    return letters;
}

// Height of the bevelled surface at a point: 0 at the outline rising to 1 where the flat face begins;
// negative outside.
double Height(const std::vector<lettering::GlyphField>& letters, double x, double y) {
    double depth = -1.0;
    for (const lettering::GlyphField& letter : letters)
        if (x > letter.Left() - 1.0 && x < letter.Right() + 1.0) depth = std::max(depth, letter.Depth(x, y));
    if (depth <= 0.0) return -1.0;
    return std::min(depth / bevel, 1.0);
}

// The surface sampled samples x samples times per pixel, with one extra sample on every side for the
// slopes at the picture's edge.
class HeightGrid {
public:
    explicit HeightGrid(const std::vector<lettering::GlyphField>& letters)
        : columns(logoWidth * samples + 2), values(static_cast<std::size_t>(columns) * (logoHeight * samples + 2)) {
        for (std::size_t k = 0; k < values.size(); ++k) {
            const int i = static_cast<int>(k % columns), j = static_cast<int>(k / columns);
            values[k] = Height(letters, (i - 0.5) / samples, (j - 0.5) / samples);
        }
    }
    double At(int i, int j) const { return values[j * columns + i]; }
    // Like At, with the outside counted as height 0.
    double Surface(int i, int j) const { return std::max(At(i, j), 0.0); }

private:
    int columns;
    std::vector<double> values;
};

// Intensity of the sample (i, j), which lies inside a letter.
double Shade(const HeightGrid& grid, int i, int j) {
    // Slopes per pixel.
    const double dx = (grid.Surface(i + 1, j) - grid.Surface(i - 1, j)) * samples / 2.0;
    const double dy = (grid.Surface(i, j + 1) - grid.Surface(i, j - 1)) * samples / 2.0;
    // The face darkens from top to bottom; rims facing the top left catch the light. Faces stay dim
    // because the sweep's trail holds about four times a pixel's value, so a face of 40-90 glows pink to
    // white there and the shading still shows.
    const double face = 90.0 - 50.0 * (j - 0.5) / (samples * logoHeight);
    const double light = -(dx + dy) * bevel * 0.5;
    return std::clamp(face + 260.0 * light, 12.0, 255.0);
}

}  // namespace

int main(int argc, char** argv) {
    const char* dir = datafile::OutputDir(argc, argv, "logo");
    if (!dir) return 2;
    const HeightGrid grid(PlaceLetters());
    std::vector<std::uint8_t> logo(logoWidth * logoHeight, 0);
    for (int y = 0; y < logoHeight; ++y) {
        for (int x = 0; x < logoWidth; ++x) {
            // Samples outside the letters count as 0, which keeps the background exactly 0.
            double sum = 0.0;
            for (int j = 1 + y * samples; j <= (y + 1) * samples; ++j)
                for (int i = 1 + x * samples; i <= (x + 1) * samples; ++i)
                    if (grid.At(i, j) >= 0.0) sum += Shade(grid, i, j);
            logo[y * logoWidth + x] = datafile::ToByte(sum / (samples * samples));
        }
    }
    return datafile::Write(dir, "logo.bin", logo) ? 0 : 1;
}
