// quendralis-tile: lays PNG pictures out in a grid, each reduced by a whole factor (mean of each
// block), with a grey seam between them; the pictures of the README and the how-it-works page. A sheet
// whose every pixel is grey is written as a grey PNG.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/capture/image_files.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
};

bool Read(const char* path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_BGRA;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) return false;
    for (std::uint32_t& p : picture.pixels) p &= 0xFFFFFFu;
    return true;
}

constexpr std::uint32_t seamColour = 0x404040;
constexpr int seam = 2;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fputs("usage: quendralis-tile COLUMNS FACTOR OUTPUT.png INPUT.png...\n", stderr);
        return 2;
    }
    const int columns = std::atoi(argv[1]), factor = std::atoi(argv[2]);
    std::vector<Picture> pictures(static_cast<std::size_t>(argc - 4));
    for (int i = 4; i < argc; ++i)
        if (!Read(argv[i], pictures[static_cast<std::size_t>(i - 4)])) {
            std::fprintf(stderr, "quendralis-tile: cannot read '%s'\n", argv[i]);
            return 1;
        }
    if (columns < 1 || factor < 1) return 2;
    const int cellW = pictures[0].width / factor, cellH = pictures[0].height / factor;
    const int count = static_cast<int>(pictures.size());
    const int cols = std::min(columns, count), rows = (count + columns - 1) / columns;
    const int width = cols * cellW + (cols - 1) * seam, height = rows * cellH + (rows - 1) * seam;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), seamColour);
    for (int n = 0; n < count; ++n) {
        const Picture& p = pictures[static_cast<std::size_t>(n)];
        if (p.width != pictures[0].width || p.height != pictures[0].height) {
            std::fprintf(stderr, "quendralis-tile: '%s' is not the size of the first picture\n", argv[4 + n]);
            return 1;
        }
        const int left = (n % columns) * (cellW + seam), top = (n / columns) * (cellH + seam);
        for (int y = 0; y < cellH; ++y)
            for (int x = 0; x < cellW; ++x) {
                std::uint32_t sum[3] = {0, 0, 0};
                for (int j = 0; j < factor; ++j)
                    for (int i = 0; i < factor; ++i) {
                        const std::uint32_t v =
                            p.pixels[static_cast<std::size_t>(y * factor + j) * static_cast<std::size_t>(p.width) +
                                     static_cast<std::size_t>(x * factor + i)];
                        for (int c = 0; c < 3; ++c) sum[c] += (v >> (8 * c)) & 0xFF;
                    }
                const std::uint32_t area = static_cast<std::uint32_t>(factor * factor);
                std::uint32_t mean = 0;
                for (int c = 0; c < 3; ++c) mean |= ((sum[c] + area / 2) / area) << (8 * c);
                out[static_cast<std::size_t>(top + y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(left + x)] = mean;
            }
    }
    // A sheet of grey planes (the seams are grey too) is written as grey, a third of the bytes.
    const bool grey = std::all_of(out.begin(), out.end(), [](std::uint32_t v) { return v == (v & 0xFF) * 0x010101u; });
    std::vector<std::uint8_t> levels;
    if (grey)
        for (std::uint32_t v : out) levels.push_back(static_cast<std::uint8_t>(v));
    const bool written =
        grey ? WriteGreyPng(argv[3], levels.data(), width, height) : WritePng(argv[3], out.data(), width, height);
    if (!written) {
        std::fprintf(stderr, "quendralis-tile: cannot write '%s'\n", argv[3]);
        return 1;
    }
    return 0;
}
