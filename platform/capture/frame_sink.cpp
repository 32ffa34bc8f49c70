// The capture's outputs: a PNG folder with audio.wav, a video through ffmpeg, or hashes.
#include "platform/capture/frame_sink.h"

#include <fcntl.h>
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

bool HaveFfmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

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
    if (!HaveFfmpeg()) {
        std::fprintf(stderr, "quendralis-capture: a video needs ffmpeg (Debian package: ffmpeg)\n");
        return false;
    }
    videoTemp_ = o.output + ".video.mkv";
    audioTemp_ = o.output + ".audio.m4a";
    // The frames go in at 320x240 and ffmpeg enlarges them itself, pixel for pixel, in the same pass
    // that converts them: a ninth of the bytes through the pipe. The fastest preset keeps the
    // encoder ahead of real time; its larger files are of no concern at this quality.
    const std::string command = "ffmpeg -loglevel error -y -f rawvideo -pixel_format bgr0 -video_size 320x240"
                                " -framerate " + std::to_string(o.fps) + " -i - -vf scale=" +
                                std::to_string(320 * o.scale) + ":" + std::to_string(240 * o.scale) +
                                ":flags=neighbor -c:v libx264 -preset ultrafast -crf 16 -pix_fmt yuv420p '" +
                                videoTemp_ + "'";
    pipe_ = popen(command.c_str(), "w");
    // A few frames of room in the pipe let the demo and the encoder run side by side rather than
    // in turns; where the system refuses, the default size still works.
    if (pipe_) fcntl(fileno(pipe_), F_SETPIPE_SZ, 1 << 20);
    // The sound is encoded by a second ffmpeg as it comes, beside the pictures, so that only a copy
    // of both streams is left for the end.
    const std::string audioCommand = "ffmpeg -loglevel error -y -f s16le -ar 48000 -ac 2 -i - -c:a aac "
                                     "-aac_coder fast -b:a 192k '" + audioTemp_ + "'";
    audioPipe_ = popen(audioCommand.c_str(), "w");
    return pipe_ != nullptr && audioPipe_ != nullptr;
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
    pcm_.resize(2 * static_cast<std::size_t>(frames));
    for (std::size_t i = 0; i < pcm_.size(); ++i) pcm_[i] = PcmSample(samples[i]);
    return std::fwrite(pcm_.data(), 2, pcm_.size(), audioPipe_) == pcm_.size();
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
    if (pipe_) return std::fwrite(frame.data(), 4, frame.size(), pipe_) == frame.size();
    const auto& pixels = Scaled(frame, options_->scale, scaled_);
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06d.png", index);
    return WritePng(options_->output + "/" + name, pixels.data(), 320 * options_->scale, 240 * options_->scale);
}

bool FrameSink::Close() {
    if (options_->hashes) {
        audioHash_.Print("audio", -1);
        return true;
    }
    if (!options_->video) return wav_.Write(options_->output + "/audio.wav");
    const bool video = pclose(pipe_) == 0;
    const bool audio = pclose(audioPipe_) == 0;
    const std::string mux = "ffmpeg -loglevel error -y -i '" + videoTemp_ + "' -i '" + audioTemp_ +
                            "' -c copy -shortest '" + options_->output + "'";
    const bool muxed = video && audio && std::system(mux.c_str()) == 0;
    std::filesystem::remove(videoTemp_);
    std::filesystem::remove(audioTemp_);
    return muxed;
}

