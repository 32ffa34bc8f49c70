// The timeline picture of docs/how-it-works.md: the cue list of `quendralis-capture --cues` as ticks on
// a time axis above one band per row of the render table, lit while that row's effect is called.
// No text: the page says which band is which.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

struct TimelineCue {
    double timeMs;
    std::uint32_t value;  // 0 a scene marker, 2 a beat
};

// Reads `--cues` output (time_ms order row value, one sync a line); false, with the line's number in
// `error`, on a line that is not four numbers or whose time goes back.
bool ReadCues(std::istream& in, std::vector<TimelineCue>& cues, std::string& error);

constexpr int timelineMsPerPixel = 200;
constexpr int timelineCueHeight = 14;  // the strip of ticks at the top
constexpr int timelineBandHeight = 10, timelineGap = 2;

struct TimelinePicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
};

// `seconds` of the show, one column every timelineMsPerPixel ms: the cue strip, then a band per row of
// the render table in its order, then the axis with a tick every 10 s (a longer one every minute).
TimelinePicture DrawCueTimeline(const std::vector<TimelineCue>& cues, double seconds);

// The colours, for the tests and the page.
constexpr std::uint32_t timelineBackground = 0x101010, timelineMarker = 0xFFFFFF, timelineBeat = 0x909090,
                        timelineOtherCue = 0x6090FF, timelineAxis = 0x808080;
extern const std::uint32_t timelineBandColours[7];  // in the render table's order
