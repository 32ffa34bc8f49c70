// The capture's command line: what to capture, how, and where to; every bad value is named with
// the values it may take.
#pragma once

#include <string>
#include <vector>

struct Options {
    int fps = 60;
    double start = 0;     // seconds into the song
    double seconds = -1;  // below 0: to the song's end
    int scale = 0;        // 0: 3 for video, 1 for PNG frames
    std::string module, output;
    std::vector<double> layers;  // --layers: the moments, in seconds
    bool cues = false, hashes = false, video = false, help = false;
};

extern const char usageText[];

// Fills the options; the empty string when they are sound, else the one message saying what is wrong.
std::string ParseOptions(int argc, char** argv, Options& o);

// An output name ending in .mp4, .mkv or .mov, in any letter case, is a video.
bool IsVideoName(const std::string& name);
