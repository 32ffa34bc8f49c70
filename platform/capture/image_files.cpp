// PNG with stored deflate blocks and WAV: small, exact, and byte-identical run after run.
#include "platform/capture/image_files.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void Chunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
    PutBig32(png, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    png.insert(png.end(), typed.begin(), typed.end());
    PutBig32(png, Crc32(typed.data(), typed.size()));
}

// A zlib stream of stored blocks: no compression, so no library and no doubt about the bytes.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> z = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(n));
        z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n));
        z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(z, b << 16 | a);
    return z;
}

}  // namespace

bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height) {
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);   // no filter
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
            raw.push_back(static_cast<std::uint8_t>(p >> 16));
            raw.push_back(static_cast<std::uint8_t>(p >> 8));
            raw.push_back(static_cast<std::uint8_t>(p));
        }
    }
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBig32(header, static_cast<std::uint32_t>(width));
    PutBig32(header, static_cast<std::uint32_t>(height));
    for (std::uint8_t b : {8, 2, 0, 0, 0}) header.push_back(b);   // 8-bit RGB
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", StoredZlib(raw));
    Chunk(png, "IEND", {});
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(file);
}

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
    put16(1);            // PCM
    put16(2);            // stereo
    put32(48000);
    put32(48000 * 4);    // bytes per second
    put16(4);            // bytes per frame
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
