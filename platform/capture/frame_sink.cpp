// The capture's outputs: a PNG folder with audio.wav, a video through FFmpeg's libraries, or hashes.
#include "platform/capture/frame_sink.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

// Nearest-neighbour scaling of the PNG frames into a buffer that lives as long as the capture.
const std::vector<std::uint32_t>& Scaled(const std::vector<std::uint32_t>& frame, int k,
                                         std::vector<std::uint32_t>& out) {
    if (k == 1) return frame;
    out.resize(static_cast<std::size_t>(320 * k) * static_cast<std::size_t>(240 * k));
    for (int y = 0; y < 240 * k; ++y)
        for (int x = 0; x < 320 * k; ++x)
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(320 * k) + static_cast<std::size_t>(x)] =
                frame[static_cast<std::size_t>(y / k) * 320 + static_cast<std::size_t>(x / k)];
    return out;
}

}  // namespace

void Fnv1a::Add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash_ = (hash_ ^ bytes[i]) * 0x100000001b3ull;
}

void Fnv1a::Print(const char* label, long index) const {
    if (index >= 0)
        std::printf("%s %ld %016llx\n", label, index, static_cast<unsigned long long>(hash_));
    else
        std::printf("%s %016llx\n", label, static_cast<unsigned long long>(hash_));
}

bool FrameSink::Open(const Options& o) {
    options_ = &o;
    if (o.hashes) return true;
    if (!o.video) {
        std::error_code error;
        std::filesystem::create_directories(o.output, error);
        if (!std::filesystem::is_directory(o.output) || access(o.output.c_str(), W_OK) != 0) {
            std::fprintf(stderr, "quendralis-capture: cannot write into '%s'\n", o.output.c_str());
            return false;
        }
        return true;
    }
    std::string error;
    if (!video_.Open(o.output, o.fps, o.scale, error)) {
        std::fprintf(stderr, "quendralis-capture: cannot write '%s': %s\n", o.output.c_str(), error.c_str());
        return false;
    }
    return true;
}

bool FrameSink::WriteAudio(const float* samples, int frames) {
    if (options_->hashes) {
        // Little-endian IEEE floats on every target we build for, so the bytes are the values.
        audioHash_.Add(samples, sizeof(float) * 2 * static_cast<std::size_t>(frames));
        return true;
    }
    if (!options_->video) {
        wav_.Append(samples, frames);
        return true;
    }
    return video_.Audio(samples, frames);
}

bool FrameSink::Write(const std::vector<std::uint32_t>& frame, int index) {
    if (options_->hashes) {
        Fnv1a hash;
        for (const std::uint32_t pixel : frame) {
            const unsigned char bytes[4] = {static_cast<unsigned char>(pixel), static_cast<unsigned char>(pixel >> 8),
                                            static_cast<unsigned char>(pixel >> 16),
                                            static_cast<unsigned char>(pixel >> 24)};
            hash.Add(bytes, 4);
        }
        hash.Print("frame", index);
        return true;
    }
    if (options_->video) return video_.Frame(frame.data());
    const auto& pixels = Scaled(frame, options_->scale, scaled_);
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06d.png", index);
    return WritePng(options_->output + "/" + name, pixels.data(), 320 * options_->scale, 240 * options_->scale);
}

bool FrameSink::Close(bool failed) {
    const char* name = options_->output.c_str();
    if (options_->hashes) {
        audioHash_.Print("audio", -1);
        return true;
    }
    if (!options_->video) {
        if (!failed && wav_.Write(options_->output + "/audio.wav")) return true;
        std::fprintf(stderr, "quendralis-capture: cannot write the frames and audio.wav into '%s'\n", name);
        return false;
    }
    std::string error = video_.Error();
    if (failed) {
        video_.Abandon();
    } else if (video_.Finish(error)) {
        return true;
    }
    std::fprintf(stderr, "quendralis-capture: cannot write '%s': %s\n", name,
                 error.empty() ? "write failed" : error.c_str());
    return false;
}
