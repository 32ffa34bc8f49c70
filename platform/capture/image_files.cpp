// PNG through libpng and WAV: exact, and byte-identical run after run.
#include "platform/capture/image_files.h"

#if __has_include(<png.h>)
#include <png.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#if __has_include(<png.h>)
namespace {

// libpng reports a failure by a long jump out of its own call; none of this lives past that jump.
[[noreturn]] void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

// The settings are fixed so that the same pixels give the same file on every run: a fixed filter
// (Sub suits the show's horizontal runs and gradients), a fixed level, and no time or text chunk.
// channels: 3 for RGB, 1 for grey.
bool EncodePng(std::FILE* file, const std::uint8_t* bytes, int width, int height, int channels) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 6);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 channels == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t rowBytes = static_cast<std::size_t>(channels) * static_cast<std::size_t>(width);
    for (int y = 0; y < height; ++y) png_write_row(png, bytes + static_cast<std::size_t>(y) * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WriteFile(const std::string& path, const std::uint8_t* bytes, int width, int height, int channels) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool encoded = EncodePng(file, bytes, width, height, channels);
    const bool closed = std::fclose(file) == 0;
    if (encoded && closed) return true;
    std::remove(path.c_str());  // no half-written picture under the frame's name
    return false;
}

}  // namespace

bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> rgb(3 * count);
    for (std::size_t i = 0; i < count; ++i) {
        rgb[3 * i] = static_cast<std::uint8_t>(pixels[i] >> 16);
        rgb[3 * i + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
        rgb[3 * i + 2] = static_cast<std::uint8_t>(pixels[i]);
    }
    return WriteFile(path, rgb.data(), width, height, 3);
}

bool WriteGreyPng(const std::string& path, const std::uint8_t* grey, int width, int height) {
    return WriteFile(path, grey, width, height, 1);
}
#else
// The WebAssembly capture (under node) has no libpng: it gives hashes, cues and the sound only.
bool WritePng(const std::string&, const std::uint32_t*, int, int) {
    std::fprintf(stderr, "quendralis-capture: this build writes no PNG frames\n");
    return false;
}

bool WriteGreyPng(const std::string&, const std::uint8_t*, int, int) {
    std::fprintf(stderr, "quendralis-capture: this build writes no PNG frames\n");
    return false;
}
#endif

std::int16_t PcmSample(float sample) {
    return static_cast<std::int16_t>(std::lrint(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
}

void WavWriter::Append(const float* samples, int frames) {
    for (int i = 0; i < 2 * frames; ++i) samples_.push_back(PcmSample(samples[i]));
}

bool WavWriter::Write(const std::string& path) const {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples_.size() * 2);
    std::vector<std::uint8_t> h;
    auto put16 = [&h](std::uint32_t v) {
        h.push_back(static_cast<std::uint8_t>(v));
        h.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    auto tag = [&h](const char* t) {
        for (int i = 0; i < 4; ++i) h.push_back(static_cast<std::uint8_t>(t[i]));
    };
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);  // PCM
    put16(2);  // stereo
    put32(48000);
    put32(48000 * 4);  // bytes per second
    put16(4);          // bytes per frame
    put16(16);
    tag("data");
    put32(dataBytes);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(h.data()), static_cast<std::streamsize>(h.size()));
    for (std::int16_t s : samples_) {
        const char bytes[2] = {static_cast<char>(s & 0xFF), static_cast<char>((s >> 8) & 0xFF)};
        file.write(bytes, 2);
    }
    return static_cast<bool>(file);
}
