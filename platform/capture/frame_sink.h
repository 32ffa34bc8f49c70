// Where the capture's frames and sound go: PNG files and a WAV in a folder, raw pixels and samples
// into a video through FFmpeg's libraries, or only their hashes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/capture/image_files.h"
#include "platform/capture/options.h"
#include "platform/capture/video_writer.h"

// 64-bit FNV-1a: a fingerprint of the exact bytes, the same on every CPU.
class Fnv1a {
public:
    void Add(const void* data, std::size_t size);
    void Print(const char* label, long index) const;

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

class FrameSink {
public:
    // False, having said why, when the output cannot be written.
    bool Open(const Options& o);
    bool WriteAudio(const float* samples, int frames);
    bool Write(const std::vector<std::uint32_t>& frame, int index);
    // Finishes the output: the hashes' last line, the WAV, or the video's file; false, having said
    // why, when it cannot, and then no half-written video stays.
    bool Close(bool failed);

private:
    const Options* options_ = nullptr;
    VideoWriter video_;
    std::vector<std::uint32_t> scaled_;
    WavWriter wav_;
    Fnv1a audioHash_;
};
