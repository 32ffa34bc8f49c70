// The capture's PNG frames: compressed, read back as exactly the pixels written, the same bytes on
// every write, and a failure where the file cannot be written.
#include "platform/capture/image_files.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int width = 320, height = 240;

// Every byte value in every channel, and neighbours that differ, so no filter hides a wrong byte.
std::vector<std::uint32_t> Pattern() {
    std::vector<std::uint32_t> pixels(width * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = static_cast<std::uint32_t>((x & 255) << 16 | ((x * 7 + y * 3) & 255) << 8 | (y & 255));
    return pixels;
}

std::string Bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The file as 0x00RRGGBB pixels, through libpng's reader.
std::vector<std::uint32_t> ReadBack(const std::string& path, int& w, int& h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    w = static_cast<int>(image.width);
    h = static_cast<int>(image.height);
    std::vector<std::uint32_t> pixels(rgb.size() / 3);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint32_t>(rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2]);
    return pixels;
}

TEST(CapturePng, ReadsBackAsExactlyThePixelsWritten) {
    const std::string path = testing::TempDir() + "pattern.png";
    const std::vector<std::uint32_t> pixels = Pattern();
    ASSERT_TRUE(WritePng(path, pixels.data(), width, height));
    int w = 0, h = 0;
    EXPECT_EQ(ReadBack(path, w, h), pixels);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
}

TEST(CapturePng, TheSamePixelsGiveTheSameBytes) {
    const std::string first = testing::TempDir() + "first.png", second = testing::TempDir() + "second.png";
    const std::vector<std::uint32_t> pixels = Pattern();
    ASSERT_TRUE(WritePng(first, pixels.data(), width, height));
    ASSERT_TRUE(WritePng(second, pixels.data(), width, height));
    EXPECT_EQ(Bytes(first), Bytes(second));
}

TEST(CapturePng, AFlatFrameTakesAFewHundredBytesNotTheRawSize) {
    const std::string path = testing::TempDir() + "flat.png";
    const std::vector<std::uint32_t> pixels(width * height, 0x203040);
    ASSERT_TRUE(WritePng(path, pixels.data(), width, height));
    EXPECT_LT(Bytes(path).size(), 1000u);   // 230 400 bytes of pixels
}

TEST(CapturePng, AFileThatCannotBeCreatedIsAFailure) {
    const std::vector<std::uint32_t> pixels(width * height, 0);
    EXPECT_FALSE(WritePng(testing::TempDir() + "no-such-folder/frame.png", pixels.data(), width, height));
}

TEST(CapturePng, AFullDiskIsAFailure) {
    const std::vector<std::uint32_t> pixels = Pattern();
    if (!std::ifstream("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(WritePng("/dev/full", pixels.data(), width, height));
}

}  // namespace
