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

struct XmSongLayout {
    std::vector<std::uint8_t> orders;              // pattern number of each song position
    std::vector<std::uint16_t> patternRows;        // rows of each pattern
    std::vector<XmSyncCell> syncs;                 // by pattern, then row, then channel
};

// False when the data is not a module this scanner can read through; nothing is read past `size`.
bool ScanXmSyncs(const std::uint8_t* data, std::size_t size, XmSongLayout& layout);

constexpr std::uint8_t xmSyncEffect = 32;   // 'W'
