// Builds small FastTracker 2 modules in memory for the module-player tests: a few patterns of
// known rows, sync cells (effect W) where a test wants them, and at most one tiny square-wave sample.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace xmtest {

struct Cell {
    std::uint8_t note = 0;
    std::uint8_t instrument = 0;
    std::uint8_t volume = 0;
    std::uint8_t effect = 0;
    std::uint8_t param = 0;
};

inline Cell Sync(std::uint8_t value) { return {0, 0, 0, 32, value}; }   // W<value>
inline Cell Note(std::uint8_t note) { return {note, 1, 0, 0, 0}; }     // note with instrument 1

// At speed 6 and 125 BPM a tick is 2.5 / 125 s = 960 frames at 48 kHz, and a row 5760 frames.
constexpr int framesPerRow = 5760;

class Builder {
public:
    explicit Builder(int channels, int speed = 6, int bpm = 125) : channels_(channels), speed_(speed), bpm_(bpm) {}

    int AddPattern(int rows) {
        patterns_.push_back(std::vector<Cell>(static_cast<std::size_t>(rows * channels_)));
        rows_.push_back(rows);
        return static_cast<int>(patterns_.size()) - 1;
    }
    void Set(int pattern, int row, int channel, Cell cell) {
        patterns_[static_cast<std::size_t>(pattern)][static_cast<std::size_t>(row * channels_ + channel)] = cell;
    }
    void SetOrders(std::vector<std::uint8_t> orders, int restart = 0) {
        orders_ = std::move(orders);
        restart_ = restart;
    }
    void AddSquareInstrument() { instrument_ = true; }

    std::vector<std::uint8_t> Build() const {
        std::vector<std::uint8_t> m;
        Text(m, "Extended Module: ", 17);
        Text(m, "quendralis test", 20);   // padded with spaces, as FT2 writes it
        m.push_back(0x1A);
        Text(m, "FastTracker v2.00", 20);
        Word(m, 0x0104);
        Dword(m, 20 + 256);
        Word(m, static_cast<std::uint16_t>(orders_.size()));
        Word(m, static_cast<std::uint16_t>(restart_));
        Word(m, static_cast<std::uint16_t>(channels_));
        Word(m, static_cast<std::uint16_t>(patterns_.size()));
        Word(m, instrument_ ? 1 : 0);
        Word(m, 1);   // linear frequency table
        Word(m, static_cast<std::uint16_t>(speed_));
        Word(m, static_cast<std::uint16_t>(bpm_));
        for (std::size_t i = 0; i < 256; ++i) m.push_back(i < orders_.size() ? orders_[i] : 0);
        for (std::size_t p = 0; p < patterns_.size(); ++p) Pattern(m, p);
        if (instrument_) Instrument(m);
        return m;
    }

private:
    static void Word(std::vector<std::uint8_t>& m, std::uint16_t v) {
        m.push_back(static_cast<std::uint8_t>(v));
        m.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    static void Dword(std::vector<std::uint8_t>& m, std::uint32_t v) {
        Word(m, static_cast<std::uint16_t>(v));
        Word(m, static_cast<std::uint16_t>(v >> 16));
    }
    static void Text(std::vector<std::uint8_t>& m, const char* text, std::size_t width) {
        const std::size_t length = std::strlen(text);
        for (std::size_t i = 0; i < width; ++i) m.push_back(i < length ? static_cast<std::uint8_t>(text[i]) : ' ');
    }

    void Pattern(std::vector<std::uint8_t>& m, std::size_t p) const {
        std::vector<std::uint8_t> packed;
        for (const Cell& c : patterns_[p]) {
            const std::uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
            std::uint8_t mask = 0x80;
            for (int f = 0; f < 5; ++f)
                if (fields[f]) mask = static_cast<std::uint8_t>(mask | 1 << f);
            if (c.effect == 32) mask |= 0x08;   // W00 still has its effect byte
            packed.push_back(mask);
            for (int f = 0; f < 5; ++f)
                if (mask & (1 << f)) packed.push_back(fields[f]);
        }
        Dword(m, 9);
        m.push_back(0);
        Word(m, static_cast<std::uint16_t>(rows_[p]));
        Word(m, static_cast<std::uint16_t>(packed.size()));
        m.insert(m.end(), packed.begin(), packed.end());
    }

    // One instrument with one looped 8-bit sample of 32 bytes: a square wave, delta-coded.
    static void Instrument(std::vector<std::uint8_t>& m) {
        const std::size_t start = m.size();
        Dword(m, 263);
        Text(m, "square", 22);
        m.push_back(0);
        Word(m, 1);
        Dword(m, 40);
        m.resize(start + 263, 0);   // key map, envelopes off, no vibrato, no fade-out
        const int length = 32;
        Dword(m, length);
        Dword(m, 0);
        Dword(m, length);
        m.push_back(64);            // volume
        m.push_back(0);             // finetune
        m.push_back(1);             // forward loop, 8-bit
        m.push_back(128);           // panning
        m.push_back(0);             // relative note
        m.push_back(0);
        Text(m, "square", 22);
        std::int8_t previous = 0;
        for (int i = 0; i < length; ++i) {
            const std::int8_t value = i < length / 2 ? 64 : -64;
            m.push_back(static_cast<std::uint8_t>(value - previous));
            previous = value;
        }
    }

    int channels_;
    int speed_;
    int bpm_;
    int restart_ = 0;
    bool instrument_ = false;
    std::vector<std::vector<Cell>> patterns_;
    std::vector<int> rows_;
    std::vector<std::uint8_t> orders_;
};

}  // namespace xmtest
