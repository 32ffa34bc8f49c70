// quendralis-capture: plays the demo on the virtual host at a fixed frame rate and writes every
// frame and the exact sound to PNG files and a WAV, or to a video, or prints their hashes.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/capture/frame_loop.h"
#include "platform/capture/frame_sink.h"
#include "platform/capture/layers.h"
#include "platform/capture/options.h"
#include "platform/midas_layer.h"

namespace {

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

}  // namespace

int main(int argc, char** argv) {
    Options o;
    const std::string wrong = ParseOptions(argc, argv, o);
    if (o.help && wrong.empty()) {
        std::fputs(usageText, stdout);
        return 0;
    }
    if (!wrong.empty()) {
        std::fprintf(stderr, "quendralis-capture: %s\n(quendralis-capture --help lists the options)\n", wrong.c_str());
        return 2;
    }
    std::vector<std::uint8_t> module;
    if (!LoadModule(o, module)) return 1;
    if (o.cues) return ListCues(module);
    const double songMs = MidasSongLengthMs(module.data(), module.size());
    if (o.seconds < 0 && o.start * 1000.0 >= songMs) {
        std::fprintf(stderr, "quendralis-capture: --start %g is beyond the song, which is %.1f s long\n", o.start,
                     songMs / 1000.0);
        return 2;
    }
    if (!o.module.empty()) MidasRedirectModule(std::filesystem::absolute(o.module).c_str());
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

    FrameSink sink;
    if (!sink.Open(o)) return 1;
    const CaptureResult result = RunCapture(o, sink, firstFrame, frameCount);
    if (!sink.Close(result.failed)) return 1;
    const char* where = o.hashes ? "hashes" : o.output.c_str();
    if (result.stopped) {
        std::fprintf(stderr, "quendralis-capture: stopped at frame %ld; %s holds the %ld frames so far (%.1f s)\n",
                     result.frames, where, result.frames, result.frames * 1.0 / o.fps);
        return 130;
    }
    std::fprintf(stderr, "quendralis-capture: %ld frames at %d fps (%.1f s) from %.1f s into %s\n", result.frames,
                 o.fps, result.frames * 1.0 / o.fps, o.start, where);
    return 0;
}
