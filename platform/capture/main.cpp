// quendralis-capture: plays the demo on the virtual host at a fixed frame rate and writes every
// frame and the exact sound to PNG files and a WAV, or through ffmpeg to a video.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/capture/image_files.h"
#include "platform/capture/layers.h"
#include "platform/midas_layer.h"
#include "platform/virtual/virtual_host.h"
#include "platform/win32.h"

namespace {

const char usage[] =
    "usage: quendralis-capture [--fps N] [--start S] [--seconds S] [--scale K] [--module FILE] OUTPUT\n"
    "       quendralis-capture --hashes [--fps N] [--start S] [--seconds S] [--module FILE]\n"
    "       quendralis-capture --cues [--module FILE]\n"
    "       quendralis-capture --layers S[,S...] [--fps N] [--module FILE] FOLDER\n"
    "       quendralis-capture --help\n"
    "OUTPUT ending in .mp4, .mkv or .mov is a video (needs ffmpeg); any other OUTPUT is a directory\n"
    "that receives frame-000000.png ... and audio.wav. --hashes writes nothing: it prints one line\n"
    "per frame, 'frame N HASH', and last 'audio HASH' over the float samples, to compare builds.\n"
    "--layers writes, at the first frame at or after each time S (seconds), every drawing effect's\n"
    "planes, palette and surface and the frame after each layer into FOLDER, with FOLDER/index.json.\n";

struct Options {
    int fps = 60;
    double start = 0, seconds = -1;
    int scale = 0;   // 0: 3 for video, 1 for PNG frames
    std::string module, output;
    std::vector<double> layers;
    bool cues = false, video = false, hashes = false;
};

bool EndsWith(const std::string& s, const char* end) {
    const std::size_t n = std::strlen(end);
    return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

bool Number(const char* text, double& value, double low, double high) {
    char* rest = nullptr;
    value = std::strtod(text, &rest);
    return rest != text && *rest == 0 && value >= low && value <= high;
}

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        double v = 0;
        if (a == "--help") {
            std::fputs(usage, stdout);
            std::exit(0);
        } else if (a == "--cues") {
            o.cues = true;
        } else if (a == "--hashes") {
            o.hashes = true;
        } else if (a == "--fps" && hasValue && Number(argv[++i], v, 1, 1000) && v == static_cast<int>(v)) {
            o.fps = static_cast<int>(v);
        } else if (a == "--start" && hasValue && Number(argv[++i], v, 0, 1e6)) {
            o.start = v;
        } else if (a == "--seconds" && hasValue && Number(argv[++i], v, 0, 1e6)) {
            o.seconds = v;
        } else if (a == "--scale" && hasValue && Number(argv[++i], v, 1, 16) && v == static_cast<int>(v)) {
            o.scale = static_cast<int>(v);
        } else if (a == "--layers" && hasValue && ParseLayerTimes(argv[++i], o.layers)) {
        } else if (a == "--module" && hasValue) {
            o.module = argv[++i];
        } else if (!a.empty() && a[0] != '-' && o.output.empty()) {
            o.output = a;
        } else {
            std::fprintf(stderr, "quendralis-capture: bad argument '%s'\n%s", a.c_str(), usage);
            return false;
        }
    }
    if (o.hashes && !o.output.empty()) {
        std::fprintf(stderr, "quendralis-capture: --hashes writes no OUTPUT\n%s", usage);
        return false;
    }
    if (!o.cues && !o.hashes && o.output.empty()) {
        std::fprintf(stderr, "quendralis-capture: no OUTPUT given\n%s", usage);
        return false;
    }
    o.video = EndsWith(o.output, ".mp4") || EndsWith(o.output, ".mkv") || EndsWith(o.output, ".mov");
    if (o.scale == 0) o.scale = o.video ? 3 : 1;
    return true;
}

bool LoadModule(const Options& o, std::vector<std::uint8_t>& bytes) {
    const std::string name = o.module.empty() ? "quendralis.xm" : o.module;
    if (!o.module.empty() && !std::filesystem::is_regular_file(o.module)) {
        std::fprintf(stderr, "quendralis-capture: no module file '%s'\n", o.module.c_str());
        return false;
    }
    if (!MidasReadModule(name.c_str(), bytes) || MidasSongLengthMs(bytes.data(), bytes.size()) <= 0) {
        std::fprintf(stderr, "quendralis-capture: cannot play the module '%s'\n", name.c_str());
        return false;
    }
    return true;
}

int ListCues(const std::vector<std::uint8_t>& module) {
    for (const MidasCue& c : MidasListCues(module.data(), module.size()))
        std::printf("%.0f %u %u %u\n", c.timeMs, c.order, c.row, c.value);
    return 0;
}

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

// 64-bit FNV-1a: a fingerprint of the exact bytes, the same on every CPU.
class Fnv1a {
public:
    void Add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) hash_ = (hash_ ^ bytes[i]) * 0x100000001b3ull;
    }
    void Print(const char* label, long index) const {
        if (index >= 0)
            std::printf("%s %ld %016llx\n", label, index, static_cast<unsigned long long>(hash_));
        else
            std::printf("%s %016llx\n", label, static_cast<unsigned long long>(hash_));
    }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

// Where the frames go: PNG files in a directory, raw pixels into ffmpeg, or only their hashes.
class FrameSink {
public:
    bool Open(const Options& o, const std::string& videoTemp, const std::string& audioTemp) {
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
        // The frames go in at 320x240 and ffmpeg enlarges them itself, pixel for pixel, in the same pass
        // that converts them: a ninth of the bytes through the pipe. The fastest preset keeps the
        // encoder ahead of real time; its larger files are of no concern at this quality.
        const std::string command = "ffmpeg -loglevel error -y -f rawvideo -pixel_format bgr0 -video_size 320x240"
                                    " -framerate " + std::to_string(o.fps) + " -i - -vf scale=" +
                                    std::to_string(320 * o.scale) + ":" + std::to_string(240 * o.scale) +
                                    ":flags=neighbor -c:v libx264 -preset ultrafast -crf 16 -pix_fmt yuv420p '" +
                                    videoTemp + "'";
        pipe_ = popen(command.c_str(), "w");
        // A few frames of room in the pipe let the demo and the encoder run side by side rather than
        // in turns; where the system refuses, the default size still works.
        if (pipe_) fcntl(fileno(pipe_), F_SETPIPE_SZ, 1 << 20);
        // The sound is encoded by a second ffmpeg as it comes, beside the pictures, so that only a copy
        // of both streams is left for the end.
        const std::string audioCommand = "ffmpeg -loglevel error -y -f s16le -ar 48000 -ac 2 -i - -c:a aac "
                                         "-aac_coder fast -b:a 192k '" + audioTemp + "'";
        audioPipe_ = popen(audioCommand.c_str(), "w");
        return pipe_ != nullptr && audioPipe_ != nullptr;
    }

    bool WriteAudio(const float* samples, int frames) {
        if (options_->hashes) {
            // Little-endian IEEE floats on every target we build for, so the bytes are the values.
            audioHash_.Add(samples, sizeof(float) * 2 * static_cast<std::size_t>(frames));
            return true;
        }
        pcm_.resize(2 * static_cast<std::size_t>(frames));
        for (std::size_t i = 0; i < pcm_.size(); ++i) pcm_[i] = PcmSample(samples[i]);
        return std::fwrite(pcm_.data(), 2, pcm_.size(), audioPipe_) == pcm_.size();
    }

    bool Write(const std::vector<std::uint32_t>& frame, int index) {
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

    bool Close() {
        if (options_->hashes) audioHash_.Print("audio", -1);
        const bool video = !pipe_ || pclose(pipe_) == 0;
        const bool audio = !audioPipe_ || pclose(audioPipe_) == 0;
        return video && audio;
    }

private:
    const Options* options_ = nullptr;
    FILE* pipe_ = nullptr;
    FILE* audioPipe_ = nullptr;
    std::vector<std::int16_t> pcm_;
    std::vector<std::uint32_t> scaled_;
    Fnv1a audioHash_;
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) return 2;
    std::vector<std::uint8_t> module;
    if (!LoadModule(o, module)) return 1;
    if (o.cues) return ListCues(module);
    if (o.video && !HaveFfmpeg()) {
        std::fprintf(stderr, "quendralis-capture: a video needs ffmpeg (Debian package: ffmpeg)\n");
        return 1;
    }
    if (!o.module.empty()) MidasRedirectModule(std::filesystem::absolute(o.module).c_str());

    const double songMs = MidasSongLengthMs(module.data(), module.size());
    if (!o.layers.empty()) {
        if (*std::max_element(o.layers.begin(), o.layers.end()) * 1000.0 >= songMs) {
            std::fprintf(stderr, "quendralis-capture: --layers: times from 0 to below %.1f s, the song's length\n",
                         songMs / 1000.0);
            return 2;
        }
        return CaptureLayers(o.layers, o.fps, o.output);
    }
    const double lengthMs = o.seconds >= 0 ? o.seconds * 1000.0 : songMs - o.start * 1000.0;
    const long firstFrame = static_cast<long>(std::ceil(o.start * o.fps - 1e-9));
    const long frameCount = static_cast<long>(lengthMs * o.fps / 1000.0 + 0.5);
    const std::string videoTemp = o.output + ".video.mkv", audioTemp = o.output + ".audio.m4a";
    const std::string wavPath = o.output + "/audio.wav";

    FrameSink sink;
    if (!sink.Open(o, videoTemp, audioTemp)) return 1;
    WavWriter wav;
    qhost::VirtualHost host;
    host.recordCalls = false;
    const bool terminal = isatty(2);
    const auto began = std::chrono::steady_clock::now();
    bool failed = false;
    long frame = 0;
    std::vector<float> audio;
    // Before frame n the clock stands at n*1000/fps and exactly the audio up to that frame's end plays.
    auto prepare = [&](qhost::VirtualHost& h) {
        const long from = frame * 48000L / o.fps, to = (frame + 1) * 48000L / o.fps;
        const int slice = static_cast<int>(to - from);
        h.clock = static_cast<std::uint32_t>(frame * 1000L / o.fps);
        h.audioBufferFrames = static_cast<std::uint32_t>(slice);
        audio.assign(static_cast<std::size_t>(2 * slice), 0.0f);
        h.RenderAudio(audio.data(), slice);
        if (frame < firstFrame || frame - firstFrame >= frameCount) return;
        if (!o.video && !o.hashes) {
            wav.Append(audio.data(), slice);
        } else if (!sink.WriteAudio(audio.data(), slice)) {
            failed = true;
        }
    };
    bool prepared = false;
    host.onPoll = [&](qhost::VirtualHost& h) {
        if (!prepared && h.audioOpen()) {
            prepare(h);
            prepared = true;
        }
    };
    host.onFrame = [&](qhost::VirtualHost& h, int) {
        if (frame >= firstFrame && !sink.Write(h.lastFrame, static_cast<int>(frame - firstFrame))) failed = true;
        ++frame;
        prepared = false;
        if (terminal && frame % 30 == 0) {
            const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
            const double rate = spent > 0 ? frame / spent : 0;
            std::fprintf(stderr, "\rframe %ld/%ld  demo time %.1f s  %.0f fps  %.0f s left   ", frame - firstFrame,
                         frameCount, frame * 1.0 / o.fps, rate, rate > 0 ? (firstFrame + frameCount - frame) / rate : 0);
        }
        if (failed || frame - firstFrame >= frameCount) h.PressKey(VK_ESCAPE);
    };
    if (frameCount > 0) host.Run();
    if (terminal) std::fputc('\n', stderr);
    if (!sink.Close() || failed || (!o.video && !o.hashes && !wav.Write(wavPath))) {
        std::fprintf(stderr, "quendralis-capture: writing '%s' failed\n", o.output.c_str());
        return 1;
    }
    if (o.video) {
        const std::string mux = "ffmpeg -loglevel error -y -i '" + videoTemp + "' -i '" + audioTemp +
                                "' -c copy -shortest '" + o.output + "'";
        const bool muxed = std::system(mux.c_str()) == 0;
        std::filesystem::remove(videoTemp);
        std::filesystem::remove(audioTemp);
        if (!muxed) {
            std::fprintf(stderr, "quendralis-capture: ffmpeg could not write '%s'\n", o.output.c_str());
            return 1;
        }
    }
    std::fprintf(stderr, "quendralis-capture: %ld frames at %d fps (%.1f s) from %.1f s into %s\n",
                 frame - firstFrame < 0 ? 0 : frame - firstFrame, o.fps, (frame - firstFrame) * 1.0 / o.fps, o.start,
                 o.hashes ? "hashes" : o.output.c_str());
    return 0;
}
