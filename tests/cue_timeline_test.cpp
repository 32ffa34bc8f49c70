// The timeline picture: the cue list read back from --cues output, its ticks where the syncs fall,
// and each band lit exactly while the render table calls that row's effect.
#include "platform/capture/cue_timeline.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::uint32_t At(const TimelinePicture& p, int x, int y) {
    return p.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) + static_cast<std::size_t>(x)];
}

constexpr int bandsTop = timelineCueHeight + timelineGap;
int BandMiddle(int row) { return bandsTop + row * (timelineBandHeight + timelineGap) + timelineBandHeight / 2; }
bool BandLit(const TimelinePicture& p, int row, int x) { return At(p, x, BandMiddle(row)) == timelineBandColours[row]; }

TEST(CueTimeline, ReadsTheCueListsLines) {
    std::istringstream in("19200 3 0 0\n58000 9 4 2\n58000 9 4 7\n");
    std::vector<TimelineCue> cues;
    std::string error;
    ASSERT_TRUE(ReadCues(in, cues, error)) << error;
    ASSERT_EQ(cues.size(), 3u);
    EXPECT_EQ(cues[0].timeMs, 19200.0);
    EXPECT_EQ(cues[0].value, 0u);
    EXPECT_EQ(cues[1].timeMs, 58000.0);
    EXPECT_EQ(cues[1].value, 2u);
    EXPECT_EQ(cues[2].value, 7u);
}

TEST(CueTimeline, RefusesALineThatIsNotACueAndNamesIt) {
    const char* const wrong[] = {"1 2 3", "x 0 0 0", "10 0 0 0 5", "-1 0 0 0", "10 0 0 256", "10 0 -1 0", ""};
    for (const char* line : wrong) {
        std::istringstream in(std::string("5 0 0 0\n") + line + "\n");
        std::vector<TimelineCue> cues;
        std::string error;
        EXPECT_FALSE(ReadCues(in, cues, error)) << "'" << line << "'";
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    }
}

TEST(CueTimeline, RefusesATimeThatGoesBack) {
    std::istringstream in("400 0 0 0\n200 0 1 0\n");
    std::vector<TimelineCue> cues;
    std::string error;
    EXPECT_FALSE(ReadCues(in, cues, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
}

TEST(CueTimeline, AnEmptyListIsNoCues) {
    std::istringstream in("");
    std::vector<TimelineCue> cues{{1, 0}};
    std::string error;
    EXPECT_TRUE(ReadCues(in, cues, error));
    EXPECT_TRUE(cues.empty());
}

TEST(CueTimeline, OneColumnEveryTwoHundredMillisecondsAndEveryBandBelowTheTicks) {
    const TimelinePicture p = DrawCueTimeline({}, 2.1);
    EXPECT_EQ(p.width, 11);
    EXPECT_EQ(p.height, bandsTop + 7 * (timelineBandHeight + timelineGap) + 7);
    EXPECT_EQ(p.pixels.size(), 11u * static_cast<std::size_t>(p.height));
}

TEST(CueTimeline, AMarkerIsATallTickABeatAShortOne) {
    const TimelinePicture p = DrawCueTimeline({{1000, 0}, {1400, 2}, {1800, 5}}, 2);
    for (int y = 0; y < timelineCueHeight; ++y) {
        EXPECT_EQ(At(p, 5, y), timelineMarker) << y;
        EXPECT_EQ(At(p, 7, y), y < timelineCueHeight / 2 ? timelineBackground : timelineBeat) << y;
        EXPECT_EQ(At(p, 9, y), y < timelineCueHeight / 4 ? timelineBackground : timelineOtherCue) << y;
        EXPECT_EQ(At(p, 6, y), timelineBackground) << y;
    }
}

TEST(CueTimeline, AMarkerOverABeatInTheSameColumnStaysVisible) {
    const TimelinePicture p = DrawCueTimeline({{1000, 0}, {1100, 2}}, 2);
    EXPECT_EQ(At(p, 5, timelineCueHeight - 1), timelineMarker);
}

TEST(CueTimeline, TheBandsFollowTheSceneCountOfTheRenderTable) {
    // Markers at 0.4, 0.8 and 1.2 s: counts 0 to 2 show the relief (row 0) and from 2 the sweep
    // (row 3); count 3 the field (row 1), the flash (row 4) and still the sweep.
    const TimelinePicture p = DrawCueTimeline({{400, 0}, {800, 0}, {1200, 0}}, 2);
    struct Case {
        int x, row;
        bool lit;
    };
    const Case cases[] = {{0, 0, true}, {5, 0, true},  {6, 0, false}, {0, 1, false}, {5, 1, false},
                          {6, 1, true}, {3, 3, false}, {4, 3, true},  {6, 3, true},  {5, 4, false},
                          {6, 4, true}, {9, 2, false}, {9, 5, false}, {9, 6, false}};
    for (const Case& c : cases) EXPECT_EQ(BandLit(p, c.row, c.x), c.lit) << "column " << c.x << ", row " << c.row;
}

TEST(CueTimeline, TheAxisHasATickEveryTenSecondsAndALongerOneEveryMinute) {
    const TimelinePicture p = DrawCueTimeline({}, 70);
    const int axis = p.height - 7;
    EXPECT_EQ(At(p, 1, axis), timelineAxis);
    EXPECT_EQ(At(p, 0, p.height - 1), timelineAxis);  // 0 s
    EXPECT_EQ(At(p, 50, axis + 3), timelineAxis);     // 10 s
    EXPECT_EQ(At(p, 50, p.height - 1), timelineBackground);
    EXPECT_EQ(At(p, 300, p.height - 1), timelineAxis);  // 60 s
    EXPECT_EQ(At(p, 51, axis + 1), timelineBackground);
}

}  // namespace
