// The committed music module: its header, its cue sheet against the scenes it drives (a row is
// 100 ms at speed 6 and 150 BPM), and how it loads and sounds through libopenmpt.
#include "platform/xm_syncs.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/kit/kit.h"

namespace {

constexpr int msPerRow = 100;
constexpr int msPerBeat = 400;

struct Cue {
    int ms;
    std::uint8_t value;
    std::uint16_t channel;
};

// The sync cells in the order the song plays them, each with its time from the song's start.
struct CueSheet {
    std::vector<Cue> cues;
    int songMs = 0;

    std::vector<int> Times(std::uint8_t value) const {
        std::vector<int> times;
        for (const Cue& cue : cues)
            if (cue.value == value) times.push_back(cue.ms);
        return times;
    }
};

CueSheet ReadCueSheet() {
    const std::vector<std::uint8_t> data = kit::DataFile("quendralis.xm");
    XmSongLayout layout;
    EXPECT_TRUE(ScanXmSyncs(data.data(), data.size(), layout));
    CueSheet sheet;
    int firstRow = 0;
    for (std::uint8_t pattern : layout.orders) {
        for (const XmSyncCell& sync : layout.syncs)
            if (sync.pattern == pattern)
                sheet.cues.push_back({(firstRow + sync.row) * msPerRow, sync.value, sync.channel});
        firstRow += pattern < layout.patternRows.size() ? layout.patternRows[pattern] : 0;
    }
    sheet.songMs = firstRow * msPerRow;
    return sheet;
}

std::string Text(const std::vector<std::uint8_t>& data, std::size_t at, std::size_t length) {
    return std::string(data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + length));
}

unsigned Word(const std::vector<std::uint8_t>& data, std::size_t at) { return data[at] | data[at + 1] << 8; }

TEST(Composition, HeaderIsVersion104At6Ticks150BpmWithSpacePaddedNames) {
    const std::vector<std::uint8_t> data = kit::DataFile("quendralis.xm");
    ASSERT_GE(data.size(), 336u);
    EXPECT_EQ(Text(data, 0, 17), "Extended Module: ");
    EXPECT_EQ(Text(data, 17, 20), "quendralis          ");
    EXPECT_EQ(data[37], 0x1A);
    EXPECT_EQ(Text(data, 38, 20), "FastTracker v2.00   ");
    EXPECT_EQ(Word(data, 58), 0x0104u);
    EXPECT_EQ(Word(data, 60), 276u);
    EXPECT_EQ(Word(data, 74) & 1, 1u);  // linear frequency table
    EXPECT_EQ(Word(data, 76), 6u);      // ticks per row
    EXPECT_EQ(Word(data, 78), 150u);    // BPM
}

TEST(Composition, SyncsAreZeroOrTwoInOneChannelOfTheirOwn) {
    const CueSheet sheet = ReadCueSheet();
    ASSERT_FALSE(sheet.cues.empty());
    for (const Cue& cue : sheet.cues) {
        EXPECT_TRUE(cue.value == 0 || cue.value == 2) << cue.ms;
        EXPECT_EQ(cue.channel, sheet.cues.front().channel) << cue.ms;
    }
}

// Minimum gaps between scene counts: the first picture fades in for 19.2 s, the cross-fade needs
// 9.6 s, the logo 12.3 s to reach full brightness (also the second time, which is timed from count
// 28), each greeting about 3 s to be read; any two counts lie a beat apart so that no frame can see
// two at once.
TEST(Composition, ThirtyOneSceneCountsLeaveEachSceneItsTime) {
    const CueSheet sheet = ReadCueSheet();
    const std::vector<int> count = sheet.Times(0);
    ASSERT_EQ(count.size(), 31u);
    auto at = [&](int n) { return count[std::size_t(n - 1)]; };

    EXPECT_GE(at(1), 19200);
    const struct { int from, to, minimumMs; } gaps[] = {{1, 2, 9600}, {2, 3, 12300}, {3, 4, 1500}, {28, 31, 12300}};
    for (const auto& gap : gaps) EXPECT_GE(at(gap.to) - at(gap.from), gap.minimumMs) << gap.from << " to " << gap.to;
    for (int n = 5; n <= 27; ++n) EXPECT_GE(at(n) - at(n - 1), 3000) << n;
    for (int n = 2; n <= 31; ++n) EXPECT_GE(at(n) - at(n - 1), msPerBeat) << n;
    EXPECT_GE(sheet.songMs - at(31), 7500);  // the last flash fades before the song starts over
}

// Every beat from the dot cube's start to the last flash carries a sync, so the cube pulses on the
// beat; beat syncs (2) never share a row with a count, and a text handed over at a count appears
// one beat later.
TEST(Composition, BeatSyncsPulseEveryBeatFromTheDotCubeOn) {
    const CueSheet sheet = ReadCueSheet();
    const std::vector<int> count = sheet.Times(0);
    const std::vector<int> beat = sheet.Times(2);
    ASSERT_EQ(count.size(), 31u);
    ASSERT_FALSE(beat.empty());
    const int cube = count[3], lastFlash = count[30];

    for (int ms : beat) {
        EXPECT_EQ(ms % msPerBeat, 0) << ms;
        EXPECT_GT(ms, cube) << ms;
        EXPECT_EQ(std::count(count.begin(), count.end(), ms), 0) << ms;
    }
    for (int ms = cube; ms <= lastFlash; ms += msPerBeat) {
        const bool synced = std::count(beat.begin(), beat.end(), ms) + std::count(count.begin(), count.end(), ms) == 1;
        EXPECT_TRUE(synced) << ms;
    }
    for (int n = 5; n <= 26; ++n) {
        const int handedOver = count[std::size_t(n - 1)];
        const auto next = std::upper_bound(beat.begin(), beat.end(), handedOver);
        ASSERT_NE(next, beat.end()) << n;
        EXPECT_EQ(*next - handedOver, msPerBeat) << n;
    }
}

// Mixes the whole song once at 48 kHz with libopenmpt's defaults.
struct Render {
    double seconds = 0.0;
    double peak = 0.0;
    std::vector<double> barRms;  // one value per 1.6 s bar
};

Render RenderSong() {
    const std::vector<std::uint8_t> data = kit::DataFile("quendralis.xm");
    openmpt::module module(data);
    constexpr int rate = 48000;
    constexpr int barFrames = rate * 16 * msPerRow / 1000;
    std::vector<float> buffer(2 * barFrames);
    Render render;
    for (;;) {
        const std::size_t frames = module.read_interleaved_stereo(rate, barFrames, buffer.data());
        if (frames == 0) break;
        double sum = 0.0;
        for (std::size_t i = 0; i < 2 * frames; ++i) {
            render.peak = std::max(render.peak, double(std::fabs(buffer[i])));
            sum += double(buffer[i]) * buffer[i];
        }
        render.barRms.push_back(std::sqrt(sum / (2.0 * frames)));
        render.seconds += double(frames) / rate;
    }
    return render;
}

TEST(Composition, LoadsInLibopenmptAndLastsTwoAndAHalfToThreeAndAHalfMinutes) {
    const std::vector<std::uint8_t> data = kit::DataFile("quendralis.xm");
    openmpt::module module(data);
    EXPECT_EQ(module.get_num_channels(), 12);
    EXPECT_GE(module.get_duration_seconds(), 150.0);
    EXPECT_LE(module.get_duration_seconds(), 210.0);
    EXPECT_NEAR(module.get_duration_seconds() * 1000.0, ReadCueSheet().songMs, 1.0);  // 100 ms rows throughout
}

// The render stays below full scale with headroom, and the intro is far quieter than the drop.
TEST(Composition, FullRenderStaysBelowFullScaleAndTheIntroIsQuiet) {
    const Render render = RenderSong();
    EXPECT_GE(render.seconds, 150.0);
    EXPECT_LT(render.peak, 1.0);
    EXPECT_GT(render.peak, 0.4);
    ASSERT_GE(render.barRms.size(), 36u);
    const double firstBar = render.barRms[0];
    double drop = 0.0;
    for (std::size_t bar = 28; bar < 36; ++bar) drop = std::max(drop, render.barRms[bar]);
    EXPECT_LT(firstBar * 4.0, drop);  // more than 12 dB
}

}  // namespace
