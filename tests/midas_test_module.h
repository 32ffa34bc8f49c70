// Small FastTracker 2 modules for the module-player tests and the fuzzers' seeds, written by the
// composer's own XM writer: a few patterns of known rows, sync cells (effect W) where a test wants
// them, and at most one tiny square-wave sample.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/compose/xm_writer.h"

namespace xmtest {

using Cell = xm::Cell;

inline Cell Sync(std::uint8_t value) { return {0, 0, 0, xm::effectSync, value}; }  // W<value>
inline Cell Note(std::uint8_t note) { return {note, 1, 0, 0, 0}; }                 // note with instrument 1
inline Cell Effect(std::uint8_t effect, std::uint8_t param) { return {0, 0, 0, effect, param}; }

constexpr std::uint8_t effectPositionJump = 0x0B;  // Bxx: go on at song position xx, row 0
constexpr std::uint8_t effectPatternBreak = 0x0D;  // Dxx: go on at row xx (decimal digits) of the next position
constexpr std::uint8_t effectSpeed = 0x0F;         // Fxx: ticks per row below 32, BPM from 32 on
// E6x (with xm::effectExtended): x = 0 marks the loop's first row, x > 0 plays back to it x times.
// EEx: the row is held for x more rows' worth of ticks.

// At speed 6 and 125 BPM a tick is 2.5 / 125 s = 960 frames at 48 kHz, and a row 5760 frames.
constexpr int framesPerRow = 5760;

class Builder {
public:
    explicit Builder(int channels, int speed = 6, int bpm = 125) {
        module_.name = "quendralis test";
        module_.channels = channels;
        module_.speed = speed;
        module_.bpm = bpm;
    }

    int AddPattern(int rows) {
        module_.patterns.push_back({rows, std::vector<Cell>(static_cast<std::size_t>(rows * module_.channels))});
        return static_cast<int>(module_.patterns.size()) - 1;
    }
    void Set(int pattern, int row, int channel, Cell cell) {
        module_.patterns[static_cast<std::size_t>(pattern)]
            .cells[static_cast<std::size_t>(row * module_.channels + channel)] = cell;
    }
    void SetOrders(std::vector<std::uint8_t> orders, int restart = 0) {
        module_.orders = std::move(orders);
        module_.restartPosition = restart;
    }
    // One instrument whose sample is a looped square wave of 32 frames.
    void AddSquareInstrument() {
        xm::Instrument square;
        square.name = "square";
        square.sample.name = "square";
        for (int i = 0; i < 32; ++i) square.sample.data.push_back(i < 16 ? 16384 : -16384);
        square.sample.loop = true;
        square.sample.loopLength = 32;
        module_.instruments = {square};
    }

    std::vector<std::uint8_t> Build() const { return xm::Write(module_); }

private:
    xm::Module module_;
};

// The small songs that the bad-module tests play and the fuzzers start from.

// Every cell of every channel a sync with value 0: a scene marker on every row, twice a pass.
inline std::vector<std::uint8_t> SyncsEverywhere() {
    Builder b(4);
    const int p = b.AddPattern(16);
    for (int row = 0; row < 16; ++row)
        for (int channel = 0; channel < 4; ++channel) b.Set(p, row, channel, Sync(0));
    b.SetOrders({0, 0});
    return b.Build();
}

// A song of one row with a sync: it plays that row again and again.
inline std::vector<std::uint8_t> OneRow() {
    Builder b(1);
    const int p = b.AddPattern(1);
    b.Set(p, 0, 0, Sync(0));
    b.SetOrders({0});
    return b.Build();
}

// Position jump (B), pattern break (D), speed and tempo (F) and notes on a sample.
inline std::vector<std::uint8_t> JumpsAndTempo() {
    Builder b(3);
    b.AddSquareInstrument();
    const int first = b.AddPattern(8);
    const int second = b.AddPattern(4);
    b.Set(first, 0, 0, Note(49));
    b.Set(first, 1, 1, Effect(effectSpeed, 3));
    b.Set(first, 2, 2, Effect(effectSpeed, 200));
    b.Set(first, 3, 0, Sync(7));
    b.Set(first, 5, 1, Effect(effectPatternBreak, 0x02));
    b.Set(second, 2, 0, Sync(9));
    b.Set(second, 3, 2, Effect(effectPositionJump, 0));
    b.SetOrders({0, 1, 1}, 1);
    return b.Build();
}

// 32 patterns of 1 to 5 rows, played in reverse, one sync on the first row of each.
inline std::vector<std::uint8_t> ManyPatterns() {
    Builder b(2);
    std::vector<std::uint8_t> orders;
    for (int p = 0; p < 32; ++p) {
        b.AddPattern(1 + p % 5);
        b.Set(p, 0, p % 2, Sync(static_cast<std::uint8_t>(p)));
        orders.push_back(static_cast<std::uint8_t>(31 - p));
    }
    b.SetOrders(orders);
    return b.Build();
}

struct SmallModule {
    const char* name;
    std::vector<std::uint8_t> (*make)();
};

inline const std::vector<SmallModule> smallModules = {
    {"syncs_everywhere", SyncsEverywhere},
    {"one_row", OneRow},
    {"jumps_and_tempo", JumpsAndTempo},
    {"many_patterns", ManyPatterns},
};

}  // namespace xmtest
