#include "platform/capture/cue_timeline.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "music/timeline.h"

// The colours follow the effects' own: the blue relief, the green field, the orange dots, the red
// rays, the white flash, then the two texts.
const std::uint32_t timelineBandColours[7] = {0x3868C8, 0x30A848, 0xE09030, 0xD03030, 0xE8E8E8, 0xE0D040, 0xA060D0};

bool ReadCues(std::istream& in, std::vector<TimelineCue>& cues, std::string& error) {
    cues.clear();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream fields(line);
        double time = 0;
        long order = 0, row = 0, value = 0;
        std::string rest;
        if (!(fields >> time >> order >> row >> value) || (fields >> rest) || !(time >= 0) || order < 0 || row < 0 ||
            value < 0 || value > 255 || (!cues.empty() && time < cues.back().timeMs)) {
            error = "line " + std::to_string(number) + ": '" + line + "' is not a cue after the one before";
            return false;
        }
        cues.push_back({time, static_cast<std::uint32_t>(value)});
    }
    return true;
}

TimelinePicture DrawCueTimeline(const std::vector<TimelineCue>& cues, double seconds) {
    constexpr int layers = sizeof sceneLayers / sizeof sceneLayers[0];
    static_assert(layers == sizeof timelineBandColours / sizeof timelineBandColours[0]);
    constexpr int bandsTop = timelineCueHeight + timelineGap;
    constexpr int axisTop = bandsTop + layers * (timelineBandHeight + timelineGap);
    TimelinePicture p;
    p.width = std::max(1, static_cast<int>(std::ceil(seconds * 1000.0 / timelineMsPerPixel)));
    p.height = axisTop + 7;
    p.pixels.assign(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height), timelineBackground);
    auto column = [&p](int x, int top, int bottom, std::uint32_t colour) {
        for (int y = top; y < bottom; ++y)
            p.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) + static_cast<std::size_t>(x)] =
                colour;
    };

    // A column shows the scene of its first instant: the markers up to and including it.
    std::size_t next = 0;
    std::int32_t count = 0;
    for (int x = 0; x < p.width; ++x) {
        const double from = static_cast<double>(x) * timelineMsPerPixel;
        for (; next < cues.size() && cues[next].timeMs <= from; ++next) count += cues[next].value == 0;
        for (int k = 0; k < layers; ++k)
            if (LayerActive(sceneLayers[k], count)) {
                const int top = bandsTop + k * (timelineBandHeight + timelineGap);
                column(x, top, top + timelineBandHeight, timelineBandColours[k]);
            }
    }
    // Beats first, so that a marker in the same column stays visible over them.
    for (int pass = 0; pass < 2; ++pass)
        for (const TimelineCue& c : cues) {
            const int x = static_cast<int>(c.timeMs / timelineMsPerPixel);
            if (x >= p.width || (c.value == 0) != (pass == 1)) continue;
            if (c.value == 0)
                column(x, 0, timelineCueHeight, timelineMarker);
            else if (c.value == 2)
                column(x, timelineCueHeight / 2, timelineCueHeight, timelineBeat);
            else
                column(x, timelineCueHeight / 4, timelineCueHeight, timelineOtherCue);
        }
    for (int x = 0; x < p.width; ++x) column(x, axisTop, axisTop + 1, timelineAxis);
    for (int s = 0; s * 1000 < p.width * timelineMsPerPixel; s += 10)
        column(s * 1000 / timelineMsPerPixel, axisTop + 1, axisTop + (s % 60 == 0 ? 7 : 4), timelineAxis);
    return p;
}
