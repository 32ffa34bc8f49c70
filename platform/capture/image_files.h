// The capture's output files: PNG frames (deflated through libpng) and 16-bit WAV.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 0x00RRGGBB pixels as an 8-bit RGB PNG, the same bytes every time for the same pixels;
// false when the file cannot be written whole.
bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height);

// Writes one byte a pixel as an 8-bit grey PNG (colour type 0), a third of the RGB bytes before
// deflating; the same guarantees as WritePng.
bool WriteGreyPng(const std::string& path, const std::uint8_t* grey, int width, int height);

// A float sample as 16-bit PCM: clamped to -1..1 and rounded.
std::int16_t PcmSample(float sample);

// Collects stereo float samples and writes them as 48 kHz 16-bit stereo PCM.
class WavWriter {
public:
    void Append(const float* samples, int frames);
    bool Write(const std::string& path) const;

private:
    std::vector<std::int16_t> samples_;
};
