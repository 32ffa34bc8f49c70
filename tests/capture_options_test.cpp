// The capture's command line: each bad value is named with the values it may take, and the
// defaults follow from the output's kind.
#include "platform/capture/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Parse(std::vector<std::string> args, Options& o) {
    args.insert(args.begin(), "quendralis-capture");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return ParseOptions(static_cast<int>(argv.size()), argv.data(), o);
}

struct BadCase {
    std::vector<std::string> args;
    const char* message;
};

const BadCase badCases[] = {
    {{"--fps", "0", "out"}, "--fps 0: a whole number from 1 to 1000"},
    {{"--fps", "1001", "out"}, "--fps 1001: a whole number from 1 to 1000"},
    {{"--fps", "2.5", "out"}, "--fps 2.5: a whole number from 1 to 1000"},
    {{"--fps", "nope", "out"}, "--fps nope: a whole number from 1 to 1000"},
    {{"--scale", "17", "out"}, "--scale 17: a whole number from 1 to 16"},
    {{"--start", "-1", "out"}, "--start -1: seconds from 0 to 1000000"},
    {{"--seconds", "inf", "out"}, "--seconds inf: seconds from 0 to 1000000"},
    {{"out", "--fps"}, "--fps: needs a value, a whole number from 1 to 1000"},
    {{"out", "--module"}, "--module: needs a value, a file name"},
    {{"--cues", "out"}, "--cues prints the cue list and writes no OUTPUT ('out')"},
    {{"--hashes", "out"}, "--hashes writes no OUTPUT ('out')"},
    {{"--cues", "--hashes"}, "--cues and --hashes: one or the other"},
    {{}, "no OUTPUT given"},
    {{"a", "b"}, "'b': one OUTPUT only ('a' is given already)"},
    {{"--frames", "out"}, "'--frames': no such option"},
};

TEST(CaptureOptions, ABadValueIsNamedWithTheValuesItMayTake) {
    for (const BadCase& c : badCases) {
        Options o;
        EXPECT_EQ(Parse(c.args, o), c.message) << c.args.size();
    }
}

struct KindCase {
    const char* output;
    bool video;
    int scale;  // the default for that kind
};

const KindCase kindCases[] = {
    {"show.mp4", true, 3}, {"show.MKV", true, 3},   {"Show.Mov", true, 3},
    {"frames", false, 1},  {"show.mp4/", false, 1}, {"mp4", false, 1},
};

TEST(CaptureOptions, TheOutputsEndingInAnyCaseChoosesVideoAndItsDefaultScale) {
    for (const KindCase& c : kindCases) {
        Options o;
        ASSERT_EQ(Parse({c.output}, o), "") << c.output;
        EXPECT_EQ(o.video, c.video) << c.output;
        EXPECT_EQ(o.scale, c.scale) << c.output;
        EXPECT_EQ(o.fps, 60) << c.output;
        EXPECT_LT(o.seconds, 0) << c.output;
    }
}

TEST(CaptureOptions, GivenValuesAreKept) {
    Options o;
    ASSERT_EQ(
        Parse({"--fps", "25", "--start", "19.5", "--seconds", "0.6", "--scale", "2", "--module", "m.xm", "x.mp4"}, o),
        "");
    EXPECT_EQ(o.fps, 25);
    EXPECT_EQ(o.start, 19.5);
    EXPECT_EQ(o.seconds, 0.6);
    EXPECT_EQ(o.scale, 2);
    EXPECT_EQ(o.module, "m.xm");
    EXPECT_EQ(o.output, "x.mp4");
}

}  // namespace
