// Makes data/icon.ico: the program's icon, a glowing Q of the demo's letter style on a dark tile,
// at 48, 32 and 16 pixels as 32-bit images with alpha and AND masks.
//   icon OUTPUT_DIR
#include "tools/common/datafile.h"
#include "tools/common/lettering.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int sizes[] = {48, 32, 16};
constexpr int samples = 8;

struct Rgba {
    double r, g, b, a;
};

// The greeting text's colours: black, through blue, to nearly white.
Rgba Glow(double intensity) {
    const double i = std::clamp(intensity, 0.0, 255.0);
    if (i < 128.0) return {0.0, i, 2.0 * i, 1.0};
    return {2.0 * (i - 128.0), i, 255.0, 1.0};
}

// Distance from (x, y) to the outline of a rounded square filling the icon: positive inside.
double TileDepth(double size, double x, double y) {
    const double radius = 0.22 * size;
    const double half = size / 2.0;
    const double qx = std::max(std::fabs(x - half) - (half - radius), 0.0);
    const double qy = std::max(std::fabs(y - half) - (half - radius), 0.0);
    return radius - std::sqrt(qx * qx + qy * qy);
}

// One sample of the icon, colour not premultiplied.
Rgba Sample(const lettering::GlyphField& q, double size, double x, double y) {
    const double tile = TileDepth(size, x, y);
    if (tile <= 0.0) return {0.0, 0.0, 0.0, 0.0};
    const double v = y / size;
    Rgba colour{2.0, 4.0 + 14.0 * (1.0 - v), 14.0 + 36.0 * (1.0 - v), 1.0};
    const double depth = q.Depth(x, y);
    double intensity = 255.0;
    if (depth <= 0.0) {
        const double reach = 0.16 * size;
        const double fall = std::max(0.0, 1.0 - (-depth) / reach);
        intensity = 135.0 * fall * fall * fall;
    }
    const Rgba light = Glow(intensity);
    colour.r = std::min(255.0, colour.r + light.r);
    colour.g = std::min(255.0, colour.g + light.g);
    colour.b = std::min(255.0, colour.b + light.b);
    return colour;
}

// Pixels top row first, as 0xAARRGGBB.
std::vector<std::uint32_t> DrawIcon(int size) {
    const lettering::GlyphShape& shape = *lettering::FindGlyph('Q');
    const double s = size;
    const double half = 0.065 * s;
    const lettering::Placement place{
        0.22 * s + half, 0.16 * s + half, (0.56 * s - 2.0 * half) / 100.0, (0.66 * s - 2.0 * half) / 100.0, half,
        0.16 * s};
    const lettering::GlyphField q(shape, place);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
            for (int j = 0; j < samples; ++j) {
                for (int i = 0; i < samples; ++i) {
                    const Rgba c = Sample(q, s, x + (i + 0.5) / samples, y + (j + 0.5) / samples);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            std::uint32_t pixel = 0;
            if (a > 0.0) {
                pixel = static_cast<std::uint32_t>(datafile::ToByte(255.0 * a / (samples * samples))) << 24 |
                        static_cast<std::uint32_t>(datafile::ToByte(r / a)) << 16 |
                        static_cast<std::uint32_t>(datafile::ToByte(g / a)) << 8 | datafile::ToByte(b / a);
            }
            pixels[y * size + x] = pixel;
        }
    }
    return pixels;
}

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// One image entry: a BITMAPINFOHEADER of doubled height, the BGRA rows bottom-up, then the AND mask
// (1 = transparent) bottom-up with rows padded to 32 bits.
std::vector<std::uint8_t> IconImage(int size, const std::vector<std::uint32_t>& pixels) {
    const int maskStride = (size + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(2 * size));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);  // BI_RGB
    Put32(out, static_cast<std::uint32_t>(size * size * 4 + maskStride * size));
    for (int i = 0; i < 4; ++i) Put32(out, 0);  // resolution and palette counts
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) Put32(out, pixels[y * size + x]);
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < size; ++x)
            if ((pixels[y * size + x] >> 24) < 128) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const char* dir = datafile::OutputDir(argc, argv, "icon");
    if (!dir) return 2;
    constexpr int count = sizeof sizes / sizeof sizes[0];
    std::vector<std::vector<std::uint8_t>> images;
    for (int size : sizes) images.push_back(IconImage(size, DrawIcon(size)));

    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);  // an icon, not a cursor
    Put16(file, count);
    std::uint32_t offset = 6 + 16 * count;
    for (int i = 0; i < count; ++i) {
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(0);  // no palette
        file.push_back(0);
        Put16(file, 1);   // planes
        Put16(file, 32);  // bits per pixel
        Put32(file, static_cast<std::uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    return datafile::Write(dir, "icon.ico", file) ? 0 : 1;
}
