// The committed picture data: sizes, the properties the effects rely on, and the resource table that
// carries the files into the program.
#include "app/resource_ids.h"
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/kit/kit.h"

namespace {

unsigned Read16(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | b[at + 1] << 8; }

std::uint32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return Read16(b, at) | static_cast<std::uint32_t>(Read16(b, at + 2)) << 16;
}

TEST(Data, FilesHaveTheSizesTheirLoadersCopy) {
    const struct {
        const char* name;
        std::size_t size;
    } cases[] = {
        {"relief_a.bin", 76800},  // 320 x 240 heights
        {"relief_b.bin", 76800},
        {"logo.bin", 22400},  // 320 x 70
        {"font.bin", 16872},  // 37 glyphs x 19 rows x 24 bytes
    };
    for (const auto& c : cases) EXPECT_EQ(kit::DataFile(c.name).size(), c.size) << c.name;
}

TEST(Data, ResourceTableCarriesEveryFileUnderItsNumber) {
    const struct {
        int id;
        const char* type;
        const char* name;
    } cases[] = {
        {IDI_QUENDRALIS, "ICON", "icon.ico"},     {IDR_RELIEF_A, "Binary", "relief_a.bin"},
        {IDR_RELIEF_B, "Binary", "relief_b.bin"}, {IDR_LOGO, "Binary", "logo.bin"},
        {IDR_FONT, "Binary", "font.bin"},
    };
    for (const auto& c : cases) {
        const auto file = kit::DataFile(c.name);
        const qres::Resource* found = nullptr;
        for (std::size_t i = 0; i < qres::tableSize; ++i)
            if (qres::table[i].id == c.id && std::strcmp(qres::table[i].type, c.type) == 0) found = &qres::table[i];
        ASSERT_NE(found, nullptr) << c.id;
        ASSERT_EQ(found->size, file.size()) << c.id;
        EXPECT_TRUE(std::equal(file.begin(), file.end(), found->data)) << c.id;
    }
}

TEST(Data, ReliefsAreClearlyDifferentSmoothHeightFields) {
    const auto a = kit::DataFile("relief_a.bin");
    const auto b = kit::DataFile("relief_b.bin");
    ASSERT_EQ(a.size(), 76800u);
    ASSERT_EQ(b.size(), 76800u);
    long difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) difference += std::abs(a[i] - b[i]);
    EXPECT_GT(difference / 76800, 40);

    for (const auto* relief : {&a, &b}) {
        const auto& h = *relief;
        const auto [low, high] = std::minmax_element(h.begin(), h.end());
        EXPECT_GT(*high - *low, 150);
        // No speckle: almost every pixel lies close to the mean of its four neighbours.
        int rough = 0;
        for (int y = 1; y < 239; ++y)
            for (int x = 1; x < 319; ++x) {
                const int i = y * 320 + x;
                const int around = h[i - 1] + h[i + 1] + h[i - 320] + h[i + 320];
                if (std::abs(4 * h[i] - around) > 4 * 24) ++rough;
            }
        EXPECT_LT(rough, 100);
    }
}

TEST(Data, LogoLettersSpanNearlyTheFullWidthOnABackgroundOfZero) {
    const auto logo = kit::DataFile("logo.bin");
    ASSERT_EQ(logo.size(), 22400u);
    int left = 320, right = -1, top = 70, bottom = -1, zeros = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 320; ++x) {
            if (logo[y * 320 + x] == 0) {
                ++zeros;
                continue;
            }
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    EXPECT_LE(left, 3);
    EXPECT_GE(right, 316);
    // A frame of background all round the lettering, and open space between and inside the letters.
    EXPECT_GT(top, 0);
    EXPECT_LT(bottom, 69);
    EXPECT_GT(zeros, 22400 * 3 / 10);
    EXPECT_EQ(*std::max_element(logo.begin(), logo.end()), 255);
}

TEST(Data, EveryGlyphIsSolidWithSoftEdgesAndKeepsItsSpacing) {
    const auto font = kit::DataFile("font.bin");
    ASSERT_EQ(font.size(), 16872u);
    for (int g = 0; g < 37; ++g) {
        const std::uint8_t* cell = &font[g * 456];
        int ink = 0, soft = 0, full = 0;
        for (int r = 0; r < 19; ++r) {
            // The first and last columns stay empty, so neighbouring glyphs never touch.
            EXPECT_EQ(cell[r * 24], 0) << "glyph " << g << " row " << r;
            EXPECT_EQ(cell[r * 24 + 23], 0) << "glyph " << g << " row " << r;
            for (int c = 0; c < 24; ++c) {
                const int v = cell[r * 24 + c];
                ink += v != 0;
                soft += v != 0 && v != 255;
                full += v == 255;
            }
        }
        EXPECT_GT(full, 50) << "glyph " << g;
        EXPECT_GT(soft, 20) << "glyph " << g;
        EXPECT_LT(ink, 456 * 9 / 10) << "glyph " << g;
    }
}

TEST(Data, IconIsAWindowsIconWith32BitImagesAndMasks) {
    const auto ico = kit::DataFile("icon.ico");
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(Read16(ico, 0), 0u);
    EXPECT_EQ(Read16(ico, 2), 1u);  // icon, not cursor
    const unsigned count = Read16(ico, 4);
    ASSERT_GE(count, 2u);
    ASSERT_GE(ico.size(), 6 + 16 * count);
    std::vector<int> sizes;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const int size = ico[entry] ? ico[entry] : 256;
        EXPECT_EQ(ico[entry + 1], ico[entry]);
        EXPECT_EQ(Read16(ico, entry + 4), 1u);
        EXPECT_EQ(Read16(ico, entry + 6), 32u);
        const std::uint32_t bytes = Read32(ico, entry + 8), offset = Read32(ico, entry + 12);
        ASSERT_LE(static_cast<std::size_t>(offset) + bytes, ico.size());
        // BITMAPINFOHEADER with the colour rows and the AND mask stacked: twice the height.
        EXPECT_EQ(Read32(ico, offset), 40u);
        EXPECT_EQ(Read32(ico, offset + 4), static_cast<std::uint32_t>(size));
        EXPECT_EQ(Read32(ico, offset + 8), static_cast<std::uint32_t>(2 * size));
        EXPECT_EQ(Read16(ico, offset + 12), 1u);
        EXPECT_EQ(Read16(ico, offset + 14), 32u);
        const std::uint32_t maskRow = (size + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40 + size * size * 4 + maskRow * size);
        sizes.push_back(size);
    }
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), 32), sizes.end());
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), 16), sizes.end());
}

}  // namespace
