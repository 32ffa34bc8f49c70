// What a FastTracker 2 module (XM, version 1.04) holds, and the writer that lays it out byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xm {

constexpr std::uint8_t keyOff = 97;  // the note value that releases a note
constexpr std::uint8_t effectVolumeSlide = 0x0A;
constexpr std::uint8_t effectPanning = 0x08;
constexpr std::uint8_t effectPortaUp = 0x01;
constexpr std::uint8_t effectExtended = 0x0E;  // ECx: cut the note at tick x
constexpr std::uint8_t effectSync = 0x20;      // W: a sync command for the player, value in the parameter

// One pattern cell. A zero field is empty and is left out of the packed pattern.
struct Cell {
    std::uint8_t note = 0;        // 1 = C-0 ... 96 = B-7, or keyOff
    std::uint8_t instrument = 0;  // 1-based
    std::uint8_t volume = 0;      // volume column: 0x10 + v sets volume v (0..64)
    std::uint8_t effect = 0;
    std::uint8_t param = 0;
    bool operator==(const Cell&) const = default;
};

struct Pattern {
    int rows = 0;
    std::vector<Cell> cells;  // row after row, each row one cell per channel
    bool operator==(const Pattern&) const = default;
};

struct EnvelopePoint {
    std::uint16_t tick;   // ticks since the note started
    std::uint16_t value;  // 0..64
};

struct Envelope {
    std::vector<EnvelopePoint> points;  // at most 12; none: the envelope is off
    int sustain = -1;                   // index of the point held until key off, -1 for none
};

struct Sample {
    std::string name;
    std::vector<std::int16_t> data;  // written as 16-bit, delta encoded
    bool loop = false;               // forward loop over [loopStart, loopStart + loopLength)
    std::uint32_t loopStart = 0;     // sample frames
    std::uint32_t loopLength = 0;
    std::uint8_t volume = 64;
    std::int8_t finetune = 0;  // 1/128 semitone
    std::uint8_t panning = 128;
    std::int8_t relativeNote = 0;  // semitones; 0 plays C-4 at 8363 Hz
};

struct AutoVibrato {
    std::uint8_t type = 0;   // 0 sine
    std::uint8_t sweep = 0;  // ticks until full depth
    std::uint8_t depth = 0;
    std::uint8_t rate = 0;
};

// Each instrument carries exactly one sample, mapped to every note.
struct Instrument {
    std::string name;
    Sample sample;
    Envelope volumeEnvelope;
    std::uint16_t fadeout = 0;  // volume lost per tick after key off, of 65536
    AutoVibrato vibrato;
};

struct Module {
    std::string name;  // at most 20 characters
    int channels = 0;
    int speed = 6;  // ticks per row
    int bpm = 125;
    int restartPosition = 0;
    std::vector<std::uint8_t> orders;
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
};

// The whole file. Names are padded with spaces; frequencies use the linear table.
std::vector<std::uint8_t> Write(const Module& module);

}  // namespace xm
