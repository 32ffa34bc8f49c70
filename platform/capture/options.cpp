// Parsing the capture's command line into Options, with messages that name the value and its range.
#include "platform/capture/options.h"

#include "platform/capture/layers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char usageText[] =
    "usage: quendralis-capture [--fps N] [--start S] [--seconds S] [--scale K] [--module FILE] OUTPUT\n"
    "       quendralis-capture --hashes [--fps N] [--start S] [--seconds S] [--module FILE]\n"
    "       quendralis-capture --cues [--module FILE]\n"
    "       quendralis-capture --layers S[,S...] [--fps N] [--module FILE] FOLDER\n"
    "       quendralis-capture --help\n"
    "\n"
    "Plays the demo on a virtual clock and writes every frame and the exact sound.\n"
    "\n"
    "OUTPUT       a name ending in .mp4, .mkv or .mov (any letter case) is a video: H.264 and AAC\n"
    "             sound; any other name is a folder (made if missing) that receives\n"
    "             frame-000000.png, frame-000001.png ... and audio.wav (48 kHz 16-bit stereo)\n"
    "--fps N      frames per second, a whole number from 1 to 1000 (default 60)\n"
    "--start S    seconds into the song of the first frame, from 0 to 1000000 (default 0: the start)\n"
    "--seconds S  seconds to capture, from 0 to 1000000 (default: the whole song from --start on)\n"
    "--scale K    each pixel as K x K pixels, a whole number from 1 to 16 (default 3 for a video,\n"
    "             960x720, and 1 for PNG frames, 320x240)\n"
    "--module F   the music to play (default: quendralis.xm in the current directory, else the copy\n"
    "             built into the program)\n"
    "--hashes     writes nothing: prints 'frame N HASH' for every frame and last 'audio HASH' over\n"
    "             the float samples, to compare builds\n"
    "--cues       prints the sync commands the song plays, one line each: time_ms order row value\n"
    "--layers S,S at the first frame at or after each time S (seconds from 0 to below the song's end)\n"
    "             writes every drawing effect's planes, palette and surface and the frame after each\n"
    "             layer into FOLDER, with FOLDER/index.json\n"
    "\n"
    "Ctrl-C stops the capture at the current frame and keeps what is written so far (exit code 130).\n";

namespace {

struct Range {
    double low, high;
    bool whole;
    const char* words;  // how the message names the kind of value
};

constexpr Range fpsRange{1, 1000, true, "a whole number from 1 to 1000"};
constexpr Range secondsRange{0, 1e6, false, "seconds from 0 to 1000000"};
constexpr Range scaleRange{1, 16, true, "a whole number from 1 to 16"};

bool InRange(const char* text, const Range& r, double& value) {
    char* rest = nullptr;
    value = std::strtod(text, &rest);
    return rest != text && *rest == 0 && std::isfinite(value) && value >= r.low && value <= r.high &&
           (!r.whole || value == std::floor(value));
}

}  // namespace

bool IsVideoName(const std::string& name) {
    if (name.size() < 4) return false;
    std::string end = name.substr(name.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == ".mp4" || end == ".mkv" || end == ".mov";
}

std::string ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const Range* range = a == "--fps"                         ? &fpsRange
                             : a == "--start" || a == "--seconds" ? &secondsRange
                             : a == "--scale"                     ? &scaleRange
                                                                  : nullptr;
        if (range || a == "--module") {
            const char* words = range ? range->words : "a file name";
            if (i + 1 >= argc) return a + ": needs a value, " + words;
            const char* text = argv[++i];
            double v = 0;
            if (range && !InRange(text, *range, v)) return a + " " + text + ": " + words;
            if (a == "--fps") o.fps = static_cast<int>(v);
            if (a == "--start") o.start = v;
            if (a == "--seconds") o.seconds = v;
            if (a == "--scale") o.scale = static_cast<int>(v);
            if (a == "--module") o.module = text;
        } else if (a == "--layers") {
            const char* words = "times in seconds from 0 to 1000000, separated by commas";
            if (i + 1 >= argc) return a + ": needs a value, " + words;
            if (!ParseLayerTimes(argv[++i], o.layers)) return a + " " + argv[i] + ": " + words;
        } else if (a == "--help") {
            o.help = true;
        } else if (a == "--cues") {
            o.cues = true;
        } else if (a == "--hashes") {
            o.hashes = true;
        } else if (!a.empty() && a[0] != '-' && o.output.empty()) {
            o.output = a;
        } else if (!a.empty() && a[0] != '-') {
            return "'" + a + "': one OUTPUT only ('" + o.output + "' is given already)";
        } else {
            return "'" + a + "': no such option";
        }
    }
    if (o.help) return "";
    if (o.cues && o.hashes) return "--cues and --hashes: one or the other";
    if (o.cues && !o.output.empty()) return "--cues prints the cue list and writes no OUTPUT ('" + o.output + "')";
    if (o.hashes && !o.output.empty()) return "--hashes writes no OUTPUT ('" + o.output + "')";
    if (!o.cues && !o.hashes && o.output.empty()) return "no OUTPUT given";
    o.video = IsVideoName(o.output);
    if (o.scale == 0) o.scale = o.video ? 3 : 1;
    return "";
}
