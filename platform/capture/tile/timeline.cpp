// quendralis-timeline: the cue list of `quendralis-capture --cues` (on standard input) drawn against
// the scenes, as a PNG; the timeline picture of docs/how-it-works.md.
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "platform/capture/cue_timeline.h"
#include "platform/capture/image_files.h"

int main(int argc, char** argv) {
    char* end = nullptr;
    const double seconds = argc == 3 ? std::strtod(argv[1], &end) : 0;
    if (argc != 3 || *end != 0 || !(seconds > 0 && seconds <= 3600)) {
        std::fputs(
            "usage: quendralis-capture --cues | quendralis-timeline SECONDS OUTPUT.png\n"
            "  SECONDS: the length drawn, above 0 and at most 3600\n",
            stderr);
        return 2;
    }
    std::vector<TimelineCue> cues;
    std::string error;
    if (!ReadCues(std::cin, cues, error)) {
        std::fprintf(stderr, "quendralis-timeline: %s\n", error.c_str());
        return 1;
    }
    const TimelinePicture p = DrawCueTimeline(cues, seconds);
    if (!WritePng(argv[2], p.pixels.data(), p.width, p.height)) {
        std::fprintf(stderr, "quendralis-timeline: cannot write '%s'\n", argv[2]);
        return 1;
    }
    return 0;
}
