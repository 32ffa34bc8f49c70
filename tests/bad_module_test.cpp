// Whatever sits in the module file's place, the demo never crashes and always ends with 0: a module
// it cannot play leaves it in the opening scene, one it can play drives the timeline.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "music/music.h"
#include "music/timeline.h"
#include "platform/midas_layer.h"
#include "platform/virtual/virtual_host.h"
#include "platform/win32.h"
#include "tests/kit/kit.h"
#include "tests/midas_test_module.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Truncated(std::size_t size) {
    Bytes m = kit::DataFile("quendralis.xm");
    m.resize(std::min(size, m.size()));
    return m;
}

Bytes RandomBytes() {
    std::mt19937 random(7);
    Bytes m(5000);
    for (auto& b : m) b = static_cast<std::uint8_t>(random());
    return m;
}

Bytes GarbagePatterns() {
    Bytes m = kit::DataFile("quendralis.xm");
    std::mt19937 random(11);
    for (std::size_t i = 336; i < 20000 && i < m.size(); ++i) m[i] = static_cast<std::uint8_t>(random());
    return m;
}

Bytes HugePatternCount() {
    Bytes m = kit::DataFile("quendralis.xm");
    m[70] = 0xFF;
    m[71] = 0xFF;
    return m;
}

struct BadModule {
    const char* name;
    Bytes (*make)();  // nullptr: no file at all
    bool plays;
};

class BadModules : public testing::TestWithParam<BadModule> {};

TEST_P(BadModules, NeverCrashAndEndWithZero) {
    const BadModule c = GetParam();
    const std::string path = testing::TempDir() + "bad-" + c.name + ".xm";
    std::filesystem::remove_all(path);
    if (c.make) {
        const Bytes bytes = c.make();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    if (std::string(c.name) == "directory") std::filesystem::create_directory(path);
    MidasUseFallbackModule(false);
    MidasRedirectModule(path.c_str());

    qhost::VirtualHost host;
    // 100 ms a frame, Space held down over frames 11 and 12.
    const auto goOn = [](qhost::VirtualHost& h, int frame) {
        if (frame == 10) h.HoldKey(VK_SPACE, true);
        if (frame == 12) h.HoldKey(VK_SPACE, false);
        return frame != 100;
    };
    EXPECT_EQ(kit::PlayShow(host, 10, {nullptr, goOn}), 0);
    EXPECT_EQ(host.framesPresented, 101);
    EXPECT_EQ(musicModule != 0, c.plays);
    if (!c.plays) {
        EXPECT_EQ(syncCount.load(), 0);
        EXPECT_EQ(handledSync, 0);
    }
    // The timeline follows what plays; the last frame's sound is rendered after its picture.
    EXPECT_LE(handledSync, syncCount.load());
    MidasRedirectModule(nullptr);
}

Bytes Empty() { return {}; }
Bytes Header() { return Truncated(60); }
Bytes HeaderAndOrders() { return Truncated(336); }
Bytes FirstPattern() { return Truncated(400); }
Bytes HalfPatterns() { return Truncated(20000); }
Bytes BeforeSamples() { return Truncated(60000); }
Bytes MostOfIt() { return Truncated(400000); }

// The hostile files, then the small songs that the fuzzers start from: each of those plays.
std::vector<BadModule> Cases() {
    std::vector<BadModule> cases = {{"missing", nullptr, false},
                                    {"empty", Empty, false},
                                    {"directory", nullptr, false},
                                    {"cut_in_header", Header, false},
                                    {"cut_after_orders", HeaderAndOrders, true},
                                    {"cut_in_first_pattern", FirstPattern, true},
                                    {"cut_in_patterns", HalfPatterns, true},
                                    {"cut_before_samples", BeforeSamples, true},
                                    {"cut_in_samples", MostOfIt, true},
                                    {"random_bytes", RandomBytes, false},
                                    {"garbage_patterns", GarbagePatterns, true},
                                    {"huge_pattern_count", HugePatternCount, true}};
    for (const xmtest::SmallModule& m : xmtest::smallModules) cases.push_back({m.name, m.make, true});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Table, BadModules, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<BadModule>& param) { return std::string(param.param.name); });

}  // namespace
