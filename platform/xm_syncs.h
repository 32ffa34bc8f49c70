// Reads the synchronisation commands of a FastTracker 2 module: every pattern cell whose effect is
// W (effect number 32) carries a sync value in its parameter byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct XmSyncCell {
    std::uint16_t pattern;
    std::uint16_t row;
    std::uint16_t channel;
    std::uint8_t value;
};

// A row whose effects bear on when it plays again: one that may send the song back to itself
// (position jump B, pattern break D, pattern loop E6x), and the pattern delay EEx that holds it
// for more rows' worth of ticks.
struct XmRowTiming {
    std::uint16_t pattern;
    std::uint16_t row;
    bool jumps;          // B, D or E6x on any channel
    std::uint8_t delay;  // x of the row's first EEx, 0 without one
};

struct XmSongLayout {
    std::vector<std::uint8_t> orders;        // pattern number of each song position
    std::vector<std::uint16_t> patternRows;  // rows of each pattern
    std::vector<XmSyncCell> syncs;           // by pattern, then row, then channel
    std::vector<XmRowTiming> timings;        // the rows that have such effects, by pattern and row
};

// False when the data is not a module this scanner can read through; nothing is read past `size`.
bool ScanXmSyncs(const std::uint8_t* data, std::size_t size, XmSongLayout& layout);

constexpr std::uint8_t xmSyncEffect = 32;  // 'W'
constexpr std::uint8_t xmPositionJump = 0x0B;
constexpr std::uint8_t xmPatternBreak = 0x0D;
constexpr std::uint8_t xmExtended = 0x0E;  // E6x pattern loop, EEx pattern delay

// The timing effects of one pattern row; {pattern, row, false, 0} when it has none.
XmRowTiming TimingOf(const XmSongLayout& layout, std::uint16_t pattern, std::uint16_t row);
