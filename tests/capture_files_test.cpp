// The capture's PNG frames: compressed, read back as exactly the pixels written, the same bytes on
// every write, and a failure where the file cannot be written.
#include "platform/capture/image_files.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

#include <csignal>
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
            pixels[y * width + x] =
                static_cast<std::uint32_t>((x & 255) << 16 | ((x * 7 + y * 3) & 255) << 8 | (y & 255));
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
    EXPECT_LT(Bytes(path).size(), 1000u);  // 230 400 bytes of pixels
}

TEST(CapturePng, AFileThatCannotBeCreatedIsAFailure) {
    const std::vector<std::uint32_t> pixels(width * height, 0);
    EXPECT_FALSE(WritePng(testing::TempDir() + "no-such-folder/frame.png", pixels.data(), width, height));
    const std::vector<std::uint8_t> plane(width * height, 0);
    EXPECT_FALSE(WriteGreyPng(testing::TempDir() + "no-such-folder/plane.png", plane.data(), width, height));
}

// Every byte value, with neighbours that differ.
std::vector<std::uint8_t> GreyPattern() {
    std::vector<std::uint8_t> plane(width * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) plane[y * width + x] = static_cast<std::uint8_t>(x * 7 + y * 3);
    return plane;
}

// The colour type in the header: byte 25 of the file, after the signature and IHDR's length, name,
// size and bit depth.
int ColourType(const std::string& bytes) { return bytes.size() > 25 ? static_cast<unsigned char>(bytes[25]) : -1; }

TEST(CaptureGreyPng, IsAnEightBitGreyFileThatReadsBackAsThePlane) {
    const std::string path = testing::TempDir() + "grey.png";
    const std::vector<std::uint8_t> plane = GreyPattern();
    ASSERT_TRUE(WriteGreyPng(path, plane.data(), width, height));
    const std::string bytes = Bytes(path);
    EXPECT_EQ(ColourType(bytes), 0);
    EXPECT_EQ(static_cast<unsigned char>(bytes.at(24)), 8u);  // bit depth
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = ReadBack(path, w, h);
    ASSERT_EQ(pixels.size(), plane.size());
    for (std::size_t i = 0; i < plane.size(); ++i) ASSERT_EQ(pixels[i], plane[i] * 0x010101u) << "pixel " << i;
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
}

TEST(CaptureGreyPng, TheSamePlaneGivesTheSameBytesAndFewerThanAsRgb) {
    const std::string first = testing::TempDir() + "grey1.png", second = testing::TempDir() + "grey2.png";
    const std::string rgb = testing::TempDir() + "grey-as-rgb.png";
    const std::vector<std::uint8_t> plane = GreyPattern();
    std::vector<std::uint32_t> pixels(plane.size());
    for (std::size_t i = 0; i < plane.size(); ++i) pixels[i] = plane[i] * 0x010101u;
    ASSERT_TRUE(WriteGreyPng(first, plane.data(), width, height));
    ASSERT_TRUE(WriteGreyPng(second, plane.data(), width, height));
    ASSERT_TRUE(WritePng(rgb, pixels.data(), width, height));
    EXPECT_EQ(Bytes(first), Bytes(second));
    EXPECT_EQ(ColourType(Bytes(rgb)), 2);
    EXPECT_LT(Bytes(first).size(), Bytes(rgb).size());
}

TEST(CapturePng, AFileThatCannotBeWrittenWholeIsAFailureAndIsRemoved) {
    // A file size limit stands in for a full disk.
    const std::string path = testing::TempDir() + "limited.png";
    const std::vector<std::uint32_t> pixels = Pattern();
    rlimit old{}, small{};
    getrlimit(RLIMIT_FSIZE, &old);
    small = old;
    small.rlim_cur = 200;  // below the pattern's compressed size
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = WritePng(path, pixels.data(), width, height);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_FALSE(std::ifstream(path));
}

}  // namespace
