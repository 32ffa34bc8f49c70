// Lays out an XM module: the 60-byte identification, the 276-byte song header with the order
// list, packed patterns, and instruments of 263 header bytes, one 40-byte sample header each and
// delta-encoded 16-bit sample data. All numbers are little-endian.
#include "tools/compose/xm_writer.h"

#include <stdexcept>

namespace xm {
namespace {

constexpr std::uint32_t songHeaderSize = 276;        // counted from offset 60, this field included
constexpr std::uint32_t instrumentHeaderSize = 263;  // with samples
constexpr std::uint32_t sampleHeaderSize = 40;
constexpr std::uint32_t patternHeaderSize = 9;

class Bytes {
public:
    void U8(unsigned value) { out_.push_back(static_cast<std::uint8_t>(value)); }
    void U16(unsigned value) {
        U8(value & 0xFF);
        U8((value >> 8) & 0xFF);
    }
    void U32(std::uint32_t value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    void Zeros(std::size_t count) { out_.insert(out_.end(), count, 0); }
    void Text(const std::string& text, std::size_t width) {
        if (text.size() > width) throw std::invalid_argument("name too long: " + text);
        out_.insert(out_.end(), text.begin(), text.end());
        out_.insert(out_.end(), width - text.size(), ' ');
    }
    void Append(const std::vector<std::uint8_t>& bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    std::vector<std::uint8_t>& Data() { return out_; }

private:
    std::vector<std::uint8_t> out_;
};

void WriteSongHeader(Bytes& out, const Module& module) {
    out.Text("Extended Module: ", 17);
    out.Text(module.name, 20);
    out.U8(0x1A);
    out.Text("FastTracker v2.00", 20);
    out.U16(0x0104);
    out.U32(songHeaderSize);
    out.U16(static_cast<unsigned>(module.orders.size()));
    out.U16(static_cast<unsigned>(module.restartPosition));
    out.U16(static_cast<unsigned>(module.channels));
    out.U16(static_cast<unsigned>(module.patterns.size()));
    out.U16(static_cast<unsigned>(module.instruments.size()));
    out.U16(1);  // linear frequency table
    out.U16(static_cast<unsigned>(module.speed));
    out.U16(static_cast<unsigned>(module.bpm));
    for (std::uint8_t order : module.orders) out.U8(order);
    out.Zeros(256 - module.orders.size());
}

// A cell with all five fields is stored as is; any other cell as a mask byte (bit 7 set) and the
// fields the mask names.
std::vector<std::uint8_t> PackPattern(const Pattern& pattern) {
    Bytes out;
    for (const Cell& cell : pattern.cells) {
        const std::uint8_t fields[5] = {cell.note, cell.instrument, cell.volume, cell.effect, cell.param};
        unsigned mask = 0;
        for (int f = 0; f < 5; ++f)
            if (fields[f] != 0) mask |= 1u << f;
        if (mask != 0x1F) out.U8(0x80 | mask);
        for (int f = 0; f < 5; ++f)
            if (mask & (1u << f)) out.U8(fields[f]);
    }
    return out.Data();
}

void WritePattern(Bytes& out, const Pattern& pattern, int channels) {
    if (pattern.rows < 1 || pattern.rows > 256 || pattern.cells.size() != std::size_t(pattern.rows * channels))
        throw std::invalid_argument("pattern size");
    const std::vector<std::uint8_t> packed = PackPattern(pattern);
    if (packed.size() > 0xFFFF) throw std::invalid_argument("pattern too large");
    out.U32(patternHeaderSize);
    out.U8(0);  // packing type
    out.U16(static_cast<unsigned>(pattern.rows));
    out.U16(static_cast<unsigned>(packed.size()));
    out.Append(packed);
}

void WriteEnvelopePoints(Bytes& out, const Envelope& envelope) {
    if (envelope.points.size() > 12) throw std::invalid_argument("envelope has more than 12 points");
    for (const EnvelopePoint& point : envelope.points) {
        out.U16(point.tick);
        out.U16(point.value);
    }
    out.Zeros(4 * (12 - envelope.points.size()));
}

void WriteInstrument(Bytes& out, const Instrument& instrument) {
    const Envelope& volume = instrument.volumeEnvelope;
    out.U32(instrumentHeaderSize);
    out.Text(instrument.name, 22);
    out.U8(0);   // type
    out.U16(1);  // samples
    out.U32(sampleHeaderSize);
    out.Zeros(96);  // every note plays sample 0
    WriteEnvelopePoints(out, volume);
    WriteEnvelopePoints(out, Envelope{});  // no panning envelope
    out.U8(static_cast<unsigned>(volume.points.size()));
    out.U8(0);
    out.U8(volume.sustain < 0 ? 0u : static_cast<unsigned>(volume.sustain));
    out.Zeros(2);  // volume loop start, end
    out.Zeros(3);  // panning sustain, loop start, end
    out.U8((volume.points.empty() ? 0u : 1u) | (volume.sustain < 0 ? 0u : 2u));
    out.U8(0);  // panning envelope off
    out.U8(instrument.vibrato.type);
    out.U8(instrument.vibrato.sweep);
    out.U8(instrument.vibrato.depth);
    out.U8(instrument.vibrato.rate);
    out.U16(instrument.fadeout);
    out.Zeros(22);

    const Sample& sample = instrument.sample;
    if (sample.loop && (sample.loopLength == 0 || sample.loopStart + sample.loopLength > sample.data.size()))
        throw std::invalid_argument("loop outside sample " + sample.name);
    out.U32(static_cast<std::uint32_t>(2 * sample.data.size()));  // lengths in bytes
    out.U32(sample.loop ? 2 * sample.loopStart : 0);
    out.U32(sample.loop ? 2 * sample.loopLength : 0);
    out.U8(sample.volume);
    out.U8(static_cast<std::uint8_t>(sample.finetune));
    out.U8((sample.loop ? 1u : 0u) | 0x10u);  // 0x10: 16-bit
    out.U8(sample.panning);
    out.U8(static_cast<std::uint8_t>(sample.relativeNote));
    out.U8(0);
    out.Text(sample.name, 22);

    std::uint16_t previous = 0;
    for (std::int16_t value : sample.data) {
        const auto current = static_cast<std::uint16_t>(value);
        out.U16(static_cast<std::uint16_t>(current - previous));  // wraps modulo 2^16 by design
        previous = current;
    }
}

}  // namespace

std::vector<std::uint8_t> Write(const Module& module) {
    if (module.orders.empty() || module.orders.size() > 256 || module.patterns.size() > 256 ||
        module.instruments.size() > 128 || module.channels < 1 || module.channels > 32)
        throw std::invalid_argument("module out of the XM limits");
    Bytes out;
    WriteSongHeader(out, module);
    for (const Pattern& pattern : module.patterns) WritePattern(out, pattern, module.channels);
    for (const Instrument& instrument : module.instruments) WriteInstrument(out, instrument);
    return out.Data();
}

}  // namespace xm
