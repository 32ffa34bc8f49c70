// Every module-player call in every state: before start-up, after close, with handle 0, twice in a
// row, and after a module that could not be loaded; and which file a module name loads.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>

#include "midas_fake_host.h"
#include "midas_test_module.h"
#include "platform/resources.h"

namespace {

using midastest::fired;
using midastest::Render;

MIDASecho oneEcho = {2752470, 10485, 0, 1};
MIDASechoSet echoSet = {49151, 55704, 1, &oneEcho};

std::vector<std::uint8_t> SongWithSyncs() {
    xmtest::Builder b(2);
    b.AddPattern(4);
    b.Set(0, 0, 1, xmtest::Sync(0));
    b.Set(0, 2, 0, xmtest::Sync(2));
    b.SetOrders({0, 0});
    return b.Build();
}

struct Handles {
    MIDASmodule module;
    MIDASmodulePlayHandle play;
    MIDASechoHandle echo;
};

struct Call {
    const char* name;
    std::function<std::uint32_t(const Handles&)> make;
};

// The calls after start-up, in the demo's order, each with the handles it is given.
const std::vector<Call> everyCall = {
    {"MIDASgetOption", [](const Handles&) { return MIDASgetOption(MIDAS_OPTION_MIXBUFLEN); }},
    {"MIDASaddEchoEffect", [](const Handles&) { return MIDASaddEchoEffect(&echoSet); }},
    {"MIDASstartBackgroundPlay", [](const Handles&) { return std::uint32_t(MIDASstartBackgroundPlay(0)); }},
    {"MIDASloadModule", [](const Handles&) { return MIDASloadModule("quendralis.xm"); }},
    {"MIDASplayModule", [](const Handles& h) { return MIDASplayModule(h.module, 1); }},
    {"MIDASsetMusicSyncCallback",
     [](const Handles& h) { return std::uint32_t(MIDASsetMusicSyncCallback(h.play, midastest::RecordSync)); }},
    {"MIDASgetPlayStatus",
     [](const Handles& h) {
         MIDASplayStatus status{7, 7, 7, 7, 7};
         const int result = MIDASgetPlayStatus(h.play, &status);
         EXPECT_EQ(status.position, 0u);  // a skip from a status that failed goes to position 1
         return std::uint32_t(result);
     }},
    {"MIDASsetPosition", [](const Handles& h) { return std::uint32_t(MIDASsetPosition(h.play, 5)); }},
    {"MIDASremoveEchoEffect", [](const Handles& h) { return std::uint32_t(MIDASremoveEchoEffect(h.echo)); }},
    {"MIDASstopModule", [](const Handles& h) { return std::uint32_t(MIDASstopModule(h.play)); }},
    {"MIDASfreeModule", [](const Handles& h) { return std::uint32_t(MIDASfreeModule(h.module)); }},
    {"MIDASstopBackgroundPlay", [](const Handles&) { return std::uint32_t(MIDASstopBackgroundPlay()); }},
    {"MIDASclose", [](const Handles&) { return std::uint32_t(MIDASclose()); }},
};

class MidasStatesTest : public midastest::MidasTest {
protected:
    void SetUp() override {
        MidasTest::SetUp();
        WriteFile("quendralis.xm", SongWithSyncs());
        std::filesystem::current_path(Folder());
    }

    // The demo's music start; the handles it got.
    static Handles Start() {
        MIDASstartup();
        MIDASinit();
        Handles h{};
        h.echo = MIDASaddEchoEffect(&echoSet);
        MIDASstartBackgroundPlay(0);
        h.module = MIDASloadModule("quendralis.xm");
        h.play = MIDASplayModule(h.module, 1);
        MIDASsetMusicSyncCallback(h.play, midastest::RecordSync);
        return h;
    }

    // Every call with `h` must give 0, except the option; then nothing plays and no sync fires.
    void ExpectEveryCallRefused(const Handles& h) {
        for (const Call& c : everyCall) {
            const std::uint32_t expected = std::string(c.name) == "MIDASgetOption" ? 21u : 0u;
            EXPECT_EQ(c.make(h), expected) << c.name;
        }
        fired.clear();
        const std::vector<float> out = Render(48000);
        EXPECT_TRUE(fired.empty());
        EXPECT_EQ(std::count(out.begin(), out.end(), 0.0f), static_cast<long>(out.size()));
    }
};

TEST_F(MidasStatesTest, BeforeStartupEveryCallIsRefused) {
    ExpectEveryCallRefused({0, 0, 0});
    ExpectEveryCallRefused({1, 1, 1});
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(MidasStatesTest, AfterCloseEveryCallIsRefusedAndTheOldHandlesAreDead) {
    const Handles h = Start();
    ASSERT_NE(h.play, 0u);
    ASSERT_EQ(MIDASclose(), 1);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"OpenAudio", "CloseAudio"}));
    ExpectEveryCallRefused(h);
    // Started again, the old handles stay dead.
    const Handles again = Start();
    EXPECT_NE(again.module, h.module);
    EXPECT_NE(again.play, h.play);
    EXPECT_EQ(MIDASstopModule(h.play), 0);
    EXPECT_EQ(MIDASfreeModule(h.module), 0);
}

TEST_F(MidasStatesTest, HandleZeroIsRefusedAndTheSongPlaysOn) {
    const Handles h = Start();
    ASSERT_NE(h.play, 0u);
    const Handles none{0, 0, 0};
    for (const Call& c : everyCall) {
        const std::string name = c.name;
        if (name == "MIDASgetOption" || name == "MIDASaddEchoEffect" || name == "MIDASstartBackgroundPlay" ||
            name == "MIDASloadModule" || name == "MIDASstopBackgroundPlay" || name == "MIDASclose")
            continue;
        EXPECT_EQ(c.make(none), 0u) << name;
    }
    Render(long{8} * xmtest::framesPerRow);
    EXPECT_EQ(fired.size(), 4u);  // the whole song: two orders of two syncs
}

TEST_F(MidasStatesTest, EachCallTwiceInARowIsHarmless) {
    EXPECT_EQ(MIDASstartup(), 1);
    EXPECT_EQ(MIDASstartup(), 1);
    EXPECT_EQ(MIDASinit(), 1);
    EXPECT_EQ(MIDASinit(), 1);
    const MIDASechoHandle echo = MIDASaddEchoEffect(&echoSet);
    EXPECT_EQ(MIDASstartBackgroundPlay(0), 1);
    EXPECT_EQ(MIDASstartBackgroundPlay(0), 1);
    const MIDASmodule module = MIDASloadModule("quendralis.xm");
    const MIDASmodule second = MIDASloadModule("quendralis.xm");
    EXPECT_NE(module, second);
    const MIDASmodulePlayHandle first = MIDASplayModule(module, 1);
    const MIDASmodulePlayHandle play = MIDASplayModule(module, 1);  // replaces the first
    EXPECT_EQ(MIDASsetMusicSyncCallback(first, midastest::RecordSync), 0);
    EXPECT_EQ(MIDASsetMusicSyncCallback(play, midastest::RecordSync), 1);
    EXPECT_EQ(MIDASsetPosition(play, 1), 1);
    EXPECT_EQ(MIDASsetPosition(play, 1), 1);
    EXPECT_EQ(MIDASremoveEchoEffect(echo), 1);
    EXPECT_EQ(MIDASremoveEchoEffect(echo), 0);
    EXPECT_EQ(MIDASstopModule(play), 1);
    EXPECT_EQ(MIDASstopModule(play), 0);
    EXPECT_EQ(MIDASfreeModule(module), 1);
    EXPECT_EQ(MIDASfreeModule(module), 0);
    EXPECT_EQ(MIDASfreeModule(second), 1);
    EXPECT_EQ(MIDASstopBackgroundPlay(), 1);
    EXPECT_EQ(MIDASstopBackgroundPlay(), 0);
    EXPECT_EQ(MIDASclose(), 1);
    EXPECT_EQ(MIDASclose(), 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"OpenAudio", "CloseAudio"}));
}

TEST_F(MidasStatesTest, ModuleThatFailedToLoadPlaysNothingAndFiresNoSync) {
    MidasUseFallbackModule(false);
    std::filesystem::remove(Folder() / "quendralis.xm");
    const Handles h = Start();
    EXPECT_EQ(h.module, 0u);
    EXPECT_EQ(h.play, 0u);
    MIDASplayStatus status{7, 7, 7, 7, 7};
    EXPECT_EQ(MIDASgetPlayStatus(h.play, &status), 0);
    EXPECT_EQ(status.position, 0u);
    EXPECT_EQ(MIDASsetPosition(h.play, status.position + 1), 0);
    const std::vector<float> out = Render(48000);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(std::count(out.begin(), out.end(), 0.0f), static_cast<long>(out.size()));
    EXPECT_EQ(MIDASstopModule(h.play), 0);
    EXPECT_EQ(MIDASfreeModule(h.module), 0);
    EXPECT_EQ(MIDASstopBackgroundPlay(), 1);
    EXPECT_EQ(MIDASclose(), 1);
}

// Without a sound device background play runs on the silent output, which the host pumps until the
// play stops; the host's own audio is never closed, as it never opened.
TEST_F(MidasStatesTest, HostWithoutSoundPlaysOnTheSilentOutputUntilStopped) {
    host.audioWorks = false;
    MIDASstartup();
    MIDASinit();
    EXPECT_EQ(MIDASstartBackgroundPlay(0), 1);
    ASSERT_NE(host.silent, nullptr);
    EXPECT_TRUE(host.silent->Running());
    EXPECT_EQ(MIDASstartBackgroundPlay(0), 1);
    EXPECT_EQ(MIDASstopBackgroundPlay(), 1);
    EXPECT_EQ(host.silent, nullptr);
    EXPECT_EQ(MIDASstopBackgroundPlay(), 0);
    EXPECT_EQ(MIDASclose(), 1);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"OpenAudio", "PumpSilentOutput", "StopSilentOutput"}));
}

struct BufferCase {
    std::uint32_t frames;
    std::uint32_t milliseconds;
};

class MidasBufferTest : public midastest::MidasTest, public ::testing::WithParamInterface<BufferCase> {};

TEST_P(MidasBufferTest, MixingBufferLengthIsTheHostsBufferInMilliseconds) {
    host.bufferFrames = GetParam().frames;
    EXPECT_EQ(MIDASgetOption(MIDAS_OPTION_MIXBUFLEN), GetParam().milliseconds);
    EXPECT_EQ(MIDASgetOption(0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Frames, MidasBufferTest,
                         ::testing::Values(BufferCase{0, 0}, BufferCase{47, 0}, BufferCase{1024, 21},
                                           BufferCase{2048, 42}, BufferCase{4800, 100}));

// Which bytes a module name loads: a file of that name always; the built-in module when there is
// none and the fallback is on; nothing for a name that is there but not a playable module.
class MidasLoadTest : public MidasStatesTest {};

TEST_F(MidasLoadTest, FileOfTheNameWinsOverTheBuiltInModule) {
    const Handles h = Start();
    ASSERT_NE(h.module, 0u);
    Render(64);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].value, 0u);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(MidasReadModule("quendralis.xm", bytes));
    EXPECT_EQ(bytes, SongWithSyncs());
}

TEST_F(MidasLoadTest, MissingFileFallsBackToTheBuiltInModuleUnlessSwitchedOff) {
    MIDASstartup();
    MIDASinit();
    const bool builtIn = qres::fallbackModuleSize > 0;
    EXPECT_EQ(MIDASloadModule("missing.xm") != 0, builtIn);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(MidasReadModule("missing.xm", bytes), builtIn);
    EXPECT_EQ(bytes.size(), qres::fallbackModuleSize);

    MidasUseFallbackModule(false);
    EXPECT_EQ(MIDASloadModule("missing.xm"), 0u);
    EXPECT_FALSE(MidasReadModule("missing.xm", bytes));
    EXPECT_EQ(MIDASloadModule(nullptr), 0u);
}

struct BadFile {
    const char* what;
    std::function<void(const std::filesystem::path&)> make;
};

class MidasBadFileTest : public MidasStatesTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(MidasBadFileTest, NameThatIsThereButNoModuleFailsWithoutFallback) {
    const std::filesystem::path path = Folder() / "bad.xm";
    GetParam().make(path);
    MIDASstartup();
    MIDASinit();
    EXPECT_EQ(MIDASloadModule("bad.xm"), 0u);
    EXPECT_EQ(MIDASplayModule(0, 1), 0u);
    Render(4800);
    EXPECT_TRUE(fired.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MidasBadFileTest,
    ::testing::Values(
        BadFile{"empty", [](const std::filesystem::path& p) { std::ofstream{p}; }},
        BadFile{"text", [](const std::filesystem::path& p) { std::ofstream{p} << std::string(4000, 'x'); }},
        BadFile{"directory", [](const std::filesystem::path& p) { std::filesystem::create_directory(p); }},
        // Neither blocks the load: a FIFO without a writer, a device that never ends.
        BadFile{"fifo", [](const std::filesystem::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
        BadFile{"device", [](const std::filesystem::path& p) { std::filesystem::create_symlink("/dev/zero", p); }},
        BadFile{"link_to_a_fifo",
                [](const std::filesystem::path& p) {
                    ASSERT_EQ(mkfifo((p.string() + ".fifo").c_str(), 0600), 0);
                    std::filesystem::create_symlink(p.string() + ".fifo", p);
                }},
        // A playable song made sparse beyond the limit: refused by its size, not by its content.
        BadFile{"larger_than_64_MiB",
                [](const std::filesystem::path& p) {
                    const std::vector<std::uint8_t> song = SongWithSyncs();
                    std::ofstream(p, std::ios::binary)
                        .write(reinterpret_cast<const char*>(song.data()), static_cast<std::streamsize>(song.size()));
                    std::filesystem::resize_file(p, midasMaxModuleBytes + 1);
                }}),
    [](const ::testing::TestParamInfo<BadFile>& param) { return std::string(param.param.what); });

TEST_F(MidasLoadTest, FileOfExactly64MiBIsRead) {
    std::filesystem::create_directories(Folder());
    const std::filesystem::path path = Folder() / "large.xm";
    std::ofstream{path};
    std::filesystem::resize_file(path, midasMaxModuleBytes);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(MidasReadModule(path.c_str(), bytes));
    EXPECT_EQ(bytes.size(), midasMaxModuleBytes);
}

}  // namespace
