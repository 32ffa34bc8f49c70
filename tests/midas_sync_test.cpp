// The module player's sync commands: each W cell calls the callback once, on the first 64-frame
// slice of its row, in channel order, again after the song loops, and on the row a skip lands on.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>

#include "midas_fake_host.h"
#include "midas_test_module.h"

namespace {

using midastest::Fired;
using midastest::fired;
using midastest::Render;
using xmtest::framesPerRow;

// Three channels; pattern 0 has 4 rows and pattern 1 has 3; orders 0, 1, 0: 11 rows a pass.
// W00 on (0,0) ch 1; W02, W05 on (0,2) ch 0 and 2; W07, W00 on (1,1) ch 0 and 2; a note on (0,1).
std::vector<std::uint8_t> SongWithSyncs(int speedChangeInPattern1 = 0) {
    xmtest::Builder b(3);
    const int p0 = b.AddPattern(4);
    const int p1 = b.AddPattern(3);
    b.Set(p0, 0, 1, xmtest::Sync(0));
    b.Set(p0, 1, 0, xmtest::Note(49));
    b.Set(p0, 2, 0, xmtest::Sync(2));
    b.Set(p0, 2, 2, xmtest::Sync(5));
    b.Set(p1, 1, 0, xmtest::Sync(7));
    b.Set(p1, 1, 2, xmtest::Sync(0));
    if (speedChangeInPattern1) b.Set(p1, 0, 1, {0, 0, 0, 15, static_cast<std::uint8_t>(speedChangeInPattern1)});
    b.SetOrders({0, 1, 0});
    b.AddSquareInstrument();
    return b.Build();
}

constexpr int rowsPerPass = 11;

struct Expected {
    std::uint32_t value;
    std::uint32_t order;
    std::uint32_t row;
    int songRow;  // rows from the start of the pass
};

const std::vector<Expected> onePass = {
    {0, 0, 0, 0}, {2, 0, 2, 2}, {5, 0, 2, 2}, {7, 1, 1, 5}, {0, 1, 1, 5}, {0, 2, 0, 7}, {2, 2, 2, 9}, {5, 2, 2, 9},
};

class MidasSyncTest : public midastest::MidasTest {
protected:
    MIDASmodulePlayHandle Play(const std::vector<std::uint8_t>& song, int loopSong = 1) {
        EXPECT_EQ(MIDASstartup(), 1);
        EXPECT_EQ(MIDASinit(), 1);
        const MIDASmodule module = MIDASloadModule(WriteFile("song.xm", song).c_str());
        EXPECT_NE(module, 0u);
        const MIDASmodulePlayHandle play = MIDASplayModule(module, loopSong);
        EXPECT_NE(play, 0u);
        EXPECT_EQ(MIDASsetMusicSyncCallback(play, midastest::RecordSync), 1);
        return play;
    }
};

void ExpectFiredAt(const Fired& f, const Expected& e, long rowStart) {
    EXPECT_EQ(f.value, e.value);
    EXPECT_EQ(f.order, e.order);
    EXPECT_EQ(f.row, e.row);
    // Fired by the 64-frame slice in which its row begins.
    EXPECT_LE(f.frame, rowStart);
    EXPECT_LT(rowStart, f.frame + 64);
}

void ExpectCues(const std::vector<MidasCue>& cues, const std::vector<MidasCue>& expected) {
    ASSERT_EQ(cues.size(), expected.size());
    for (std::size_t i = 0; i < cues.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(cues[i].timeMs, expected[i].timeMs, 1e-6);
        EXPECT_EQ(cues[i].order, expected[i].order);
        EXPECT_EQ(cues[i].row, expected[i].row);
        EXPECT_EQ(cues[i].value, expected[i].value);
    }
}

TEST_F(MidasSyncTest, EachSyncFiresOnceAtItsRowInChannelOrderAndAgainAfterTheLoop) {
    Play(SongWithSyncs());
    Render(long{2 * rowsPerPass + 1} * framesPerRow);
    std::vector<std::pair<Expected, long>> expected;
    for (int pass = 0; pass < 2; ++pass)
        for (const Expected& e : onePass) expected.push_back({e, long{pass * rowsPerPass + e.songRow} * framesPerRow});
    expected.push_back({onePass[0], long{2 * rowsPerPass} * framesPerRow});
    ASSERT_EQ(fired.size(), expected.size());
    for (std::size_t i = 0; i < fired.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectFiredAt(fired[i], expected[i].first, expected[i].second);
    }
}

TEST_F(MidasSyncTest, StatusFollowsTheSongAndCountsItsLoops) {
    const MIDASmodulePlayHandle play = Play(SongWithSyncs());
    MIDASplayStatus status{};
    ASSERT_EQ(MIDASgetPlayStatus(play, &status), 1);
    EXPECT_EQ(status.position, 0u);
    EXPECT_EQ(status.syncInfo, -1);

    Render(long{5} * framesPerRow + 64);  // into order 1, row 1
    ASSERT_EQ(MIDASgetPlayStatus(play, &status), 1);
    EXPECT_EQ(status.position, 1u);
    EXPECT_EQ(status.pattern, 1u);
    EXPECT_EQ(status.row, 1u);
    EXPECT_EQ(status.syncInfo, 0);  // W07 then W00 on that row
    EXPECT_EQ(status.songLoopCount, 0u);

    Render(long{rowsPerPass} * framesPerRow);
    ASSERT_EQ(MIDASgetPlayStatus(play, &status), 1);
    EXPECT_EQ(status.position, 1u);
    EXPECT_EQ(status.songLoopCount, 1u);
}

struct SkipCase {
    long framesBefore;  // rendered before the skip
    int newPosition;
    Expected first;  // the first sync after the skip; songRow counts rows from the skip
};

class MidasSkipTest : public MidasSyncTest, public ::testing::WithParamInterface<SkipCase> {};

TEST_P(MidasSkipTest, SkipFiresTheSyncsOfTheRowItLandsOn) {
    const SkipCase c = GetParam();
    const MIDASmodulePlayHandle play = Play(SongWithSyncs());
    Render(c.framesBefore);
    fired.clear();
    const long skipFrame = midastest::renderedFrames;
    ASSERT_EQ(MIDASsetPosition(play, c.newPosition), 1);
    Render(long{3} * framesPerRow);
    ASSERT_FALSE(fired.empty());
    ExpectFiredAt(fired[0], c.first, skipFrame + long{c.first.songRow} * framesPerRow);
    MIDASplayStatus status{};
    ASSERT_EQ(MIDASgetPlayStatus(play, &status), 1);
    EXPECT_EQ(status.position, c.first.order);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, MidasSkipTest,
    ::testing::Values(SkipCase{framesPerRow * 3 / 2, 2, {0, 2, 0, 0}},  // mid-row to order 2: its W00 at once
                      SkipCase{framesPerRow * 3 / 2, 1, {7, 1, 1, 1}},  // order 1 row 0 has none; row 1 next
                      SkipCase{64, 0, {0, 0, 0, 0}},                    // onto the row it is on: fires again
                      SkipCase{framesPerRow * 3 / 2, 3, {0, 0, 0, 0}},  // one past the last order wraps to 0
                      SkipCase{framesPerRow * 3 / 2, 1000, {0, 0, 0, 0}},
                      SkipCase{framesPerRow * 3 / 2, -4, {0, 0, 0, 0}}));  // before the first is the first

TEST_F(MidasSyncTest, SongThatDoesNotLoopEndsInSilenceWithoutSyncs) {
    Play(SongWithSyncs(), 0);
    Render(long{rowsPerPass} * framesPerRow);
    EXPECT_EQ(fired.size(), onePass.size());
    Render(framesPerRow);  // libopenmpt's short fade-out after the end
    fired.clear();
    const std::vector<float> after = Render(long{3} * framesPerRow);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(std::count(after.begin(), after.end(), 0.0f), static_cast<long>(after.size()));
}

TEST_F(MidasSyncTest, NoteOfTheSecondRowIsHeardFromThatRowOn) {
    Play(SongWithSyncs());
    const std::vector<float> out = Render(long{2} * framesPerRow);
    const auto secondRow = out.begin() + 2 * framesPerRow;
    EXPECT_EQ(std::count(out.begin(), secondRow, 0.0f), 2 * framesPerRow);
    EXPECT_GT(*std::max_element(secondRow, out.end()), 0.05f);
}

TEST_F(MidasSyncTest, WithoutCallbackTheSongPlaysAndTheLastSyncIsStillReported) {
    const MIDASmodulePlayHandle play = Play(SongWithSyncs());
    ASSERT_EQ(MIDASsetMusicSyncCallback(play, nullptr), 1);
    Render(long{3} * framesPerRow);
    EXPECT_TRUE(fired.empty());
    MIDASplayStatus status{};
    ASSERT_EQ(MIDASgetPlayStatus(play, &status), 1);
    EXPECT_EQ(status.syncInfo, 5);
}

TEST_F(MidasSyncTest, CuesGiveEachSyncWithTheTimeItsRowBegins) {
    // F03 on order 1 row 0 halves the rows from there on: 120 ms a row before, 60 ms after.
    const std::vector<std::uint8_t> song = SongWithSyncs(3);
    const std::vector<MidasCue> cues = MidasListCues(song.data(), song.size());
    const std::vector<MidasCue> expected = {{0, 0, 0, 0},   {240, 0, 2, 2}, {240, 0, 2, 5}, {540, 1, 1, 7},
                                            {540, 1, 1, 0}, {660, 2, 0, 0}, {780, 2, 2, 2}, {780, 2, 2, 5}};
    ASSERT_NO_FATAL_FAILURE(ExpectCues(cues, expected));

    // The song as played fires each sync within one slice of its cue (48 frames a millisecond).
    Play(song);
    Render(48 * 800 + 64);
    ASSERT_EQ(fired.size(), cues.size());
    for (std::size_t i = 0; i < cues.size(); ++i) {
        const long cueFrame = static_cast<long>(cues[i].timeMs * 48.0);
        EXPECT_LE(fired[i].frame, cueFrame) << i;
        EXPECT_LT(cueFrame, fired[i].frame + 64) << i;
    }
}

TEST(MidasCues, DataThatIsNoModuleHasNoCues) {
    const std::vector<std::uint8_t> junk(400, 0x41);
    EXPECT_TRUE(MidasListCues(junk.data(), junk.size()).empty());
    EXPECT_TRUE(MidasListCues(nullptr, 0).empty());
}

TEST_F(MidasSyncTest, HostsAudioThreadPlaysWhileTheMainThreadAsksForTheStatus) {
    const MIDASmodulePlayHandle play = Play(SongWithSyncs());
    ASSERT_EQ(MIDASstartBackgroundPlay(0), 1);
    ASSERT_EQ(host.openedRate, 48000);
    ASSERT_EQ(host.source, &MidasRenderAudio);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> buffer(2 * 640);  // a pass is 99 calls of 640 frames
        for (long frames = 0; frames < long{rowsPerPass} * framesPerRow; frames += 640) host.source(buffer.data(), 640);
        done.store(true);
    });
    MIDASplayStatus status{};
    while (!done.load()) {
        MIDASgetPlayStatus(play, &status);
        EXPECT_LE(status.position, 2u);
    }
    audio.join();
    ASSERT_EQ(fired.size(), onePass.size());
    for (std::size_t i = 0; i < fired.size(); ++i) EXPECT_EQ(fired[i].value, onePass[i].value) << i;
    EXPECT_EQ(MIDASstopBackgroundPlay(), 1);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"OpenAudio", "CloseAudio"}));
}

}  // namespace

namespace {

using xmtest::Builder;
using xmtest::Effect;
using xmtest::Sync;

// A row that plays again fires its syncs again, once a pass; a held row is one pass.
struct ReplayCase {
    const char* name;
    std::vector<std::uint8_t> (*make)();
    std::vector<std::pair<std::uint32_t, long>> fires;  // value and the frame its row's pass begins
};

// One row: W00 and B00, a jump to itself.
std::vector<std::uint8_t> RowJumpingToItself() {
    Builder b(2);
    b.AddPattern(1);
    b.Set(0, 0, 0, Sync(0));
    b.Set(0, 0, 1, Effect(xmtest::effectPositionJump, 0));
    b.SetOrders({0});
    return b.Build();
}

// Row 0 plays once, then row 1 (W02, B00 D01) jumps back to itself.
std::vector<std::uint8_t> PatternJumpingBackToItsRow() {
    Builder b(3);
    b.AddPattern(3);
    b.Set(0, 0, 0, Sync(5));
    b.Set(0, 1, 0, Sync(2));
    b.Set(0, 1, 1, Effect(xmtest::effectPositionJump, 0));
    b.Set(0, 1, 2, Effect(xmtest::effectPatternBreak, 1));
    b.SetOrders({0});
    return b.Build();
}

// Row 0 holds W00 and the extended effect `param`, row 1 holds W02.
std::vector<std::uint8_t> RowWithExtendedEffect(std::uint8_t param, std::vector<std::uint8_t> orders) {
    Builder b(2);
    b.AddPattern(2);
    b.Set(0, 0, 0, Sync(0));
    b.Set(0, 0, 1, Effect(xm::effectExtended, param));
    b.Set(0, 1, 0, Sync(2));
    b.SetOrders(std::move(orders));
    return b.Build();
}

// Row 0 (E62) loops onto itself twice: three passes, then row 1.
std::vector<std::uint8_t> PatternLoopOnOneRow() { return RowWithExtendedEffect(0x62, {0, 0}); }

// Row 0 (EE2) is held for three rows' worth of ticks: one pass; row 1 follows.
std::vector<std::uint8_t> PatternDelay() { return RowWithExtendedEffect(0xE2, {0}); }

// A song of one row that starts over at its end.
std::vector<std::uint8_t> OneRowSongStartingOver() { return xmtest::OneRow(); }

class MidasReplayTest : public MidasSyncTest, public ::testing::WithParamInterface<ReplayCase> {};

TEST_P(MidasReplayTest, EachPassOfARowFiresItsSyncsOnTime) {
    const ReplayCase& c = GetParam();
    Play(c.make());
    Render(c.fires.back().second + 64);
    ASSERT_EQ(fired.size(), c.fires.size());
    for (std::size_t i = 0; i < fired.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(fired[i].value, c.fires[i].first);
        EXPECT_LE(fired[i].frame, c.fires[i].second);
        EXPECT_LT(c.fires[i].second, fired[i].frame + 64);
    }
}

constexpr long row = framesPerRow;

INSTANTIATE_TEST_SUITE_P(
    Songs, MidasReplayTest,
    ::testing::Values(
        ReplayCase{"row_jumping_to_itself", RowJumpingToItself, {{0, 0}, {0, row}, {0, 2 * row}, {0, 3 * row}}},
        ReplayCase{"pattern_jumping_back_to_its_row",
                   PatternJumpingBackToItsRow,
                   {{5, 0}, {2, row}, {2, 2 * row}, {2, 3 * row}, {2, 4 * row}}},
        ReplayCase{"pattern_loop_on_one_row", PatternLoopOnOneRow, {{0, 0}, {0, row}, {0, 2 * row}, {2, 3 * row}}},
        ReplayCase{"pattern_delay", PatternDelay, {{0, 0}, {2, 3 * row}, {0, 4 * row}}},
        ReplayCase{"one_row_song_starting_over", OneRowSongStartingOver, {{0, 0}, {0, row}, {0, 2 * row}}}),
    [](const ::testing::TestParamInfo<ReplayCase>& param) { return std::string(param.param.name); });

// The cue list is one pass as played: a looped row listed at each pass, a position the song jumps
// over not listed.
TEST(MidasCues, ListOnePassInPlayOrder) {
    Builder b(2);
    b.AddPattern(2);
    b.AddPattern(1);
    b.Set(0, 0, 0, Sync(0));
    b.Set(0, 0, 1, Effect(xm::effectExtended, 0x61));  // row 0 twice
    b.Set(0, 1, 0, Sync(2));
    b.Set(0, 1, 1, Effect(xmtest::effectPositionJump, 2));  // over position 1
    b.Set(1, 0, 0, Sync(9));
    b.SetOrders({0, 1, 1, 0});
    b.Set(1, 0, 1, Effect(xmtest::effectPositionJump, 3));
    const std::vector<std::uint8_t> song = b.Build();
    const std::vector<MidasCue> cues = MidasListCues(song.data(), song.size());
    // 120 ms a row: 0 0 0 | 0 0 0 again | 0 1 | 2 0 (order 2) | 3 0, 3 0 again, 3 1; then the
    // song ends as it would start over at a row it has played.
    const std::vector<MidasCue> expected = {{0, 0, 0, 0},   {120, 0, 0, 0}, {240, 0, 1, 2}, {360, 2, 0, 9},
                                            {480, 3, 0, 0}, {600, 3, 0, 0}, {720, 3, 1, 2}};
    ExpectCues(cues, expected);
}

}  // namespace
