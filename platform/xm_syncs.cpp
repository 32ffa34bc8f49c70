// A small reader of the XM layout: header, order list and packed pattern data. Instruments are
// not needed and not read.
#include "platform/xm_syncs.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Has(std::size_t at, std::size_t count) const { return at <= size_ && count <= size_ - at; }
    std::uint8_t Byte(std::size_t at) const { return data_[at]; }
    std::uint16_t Word(std::size_t at) const { return static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8); }
    std::uint32_t Dword(std::size_t at) const {
        return static_cast<std::uint32_t>(Word(at)) | static_cast<std::uint32_t>(Word(at + 2)) << 16;
    }
    const std::uint8_t* At(std::size_t at) const { return data_ + at; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// One packed pattern: a leading byte with bit 7 set says which of note, instrument, volume,
// effect and parameter follow; otherwise it is the note and all four others follow.
bool ScanPattern(const Reader& in, std::size_t at, std::size_t packedSize, std::uint16_t pattern, std::uint16_t rows,
                 std::uint16_t channels, XmSongLayout& layout) {
    const std::size_t end = at + packedSize;
    for (std::uint16_t row = 0; row < rows; ++row) {
        XmRowTiming timing{pattern, row, false, 0};
        for (std::uint16_t channel = 0; channel < channels; ++channel) {
            if (at >= end) return packedSize == 0;
            std::uint8_t mask = in.Byte(at);
            std::uint8_t fields[5] = {};
            if (mask & 0x80) {
                ++at;
            } else {
                mask = 0x1F;
            }
            for (int f = 0; f < 5; ++f) {
                if (!(mask & (1 << f))) continue;
                if (at >= end) return false;
                fields[f] = in.Byte(at++);
            }
            if (!(mask & 0x08)) continue;
            const std::uint8_t effect = fields[3];
            const std::uint8_t param = fields[4];
            if (effect == xmSyncEffect) layout.syncs.push_back({pattern, row, channel, param});
            if (effect == xmPositionJump || effect == xmPatternBreak || (effect == xmExtended && param >> 4 == 0x6))
                timing.jumps = true;
            if (effect == xmExtended && param >> 4 == 0xE && timing.delay == 0) timing.delay = param & 0x0F;
        }
        if (timing.jumps || timing.delay) layout.timings.push_back(timing);
    }
    return true;
}

}  // namespace

XmRowTiming TimingOf(const XmSongLayout& layout, std::uint16_t pattern, std::uint16_t row) {
    const auto at = std::lower_bound(layout.timings.begin(), layout.timings.end(), std::pair{pattern, row},
                                     [](const XmRowTiming& t, std::pair<std::uint16_t, std::uint16_t> key) {
                                         return t.pattern < key.first || (t.pattern == key.first && t.row < key.second);
                                     });
    if (at != layout.timings.end() && at->pattern == pattern && at->row == row) return *at;
    return {pattern, row, false, 0};
}

bool ScanXmSyncs(const std::uint8_t* data, std::size_t size, XmSongLayout& layout) {
    layout = {};
    const Reader in(data, size);
    if (!in.Has(0, 80) || std::memcmp(data, "Extended Module: ", 17) != 0) return false;
    const std::uint32_t headerSize = in.Dword(60);
    const std::uint16_t songLength = in.Word(64);
    const std::uint16_t channels = in.Word(68);
    const std::uint16_t patterns = in.Word(70);
    if (headerSize < 20 + 256 || songLength > 256 || !in.Has(60, headerSize) || channels > 128 || patterns > 256)
        return false;
    layout.orders.assign(in.At(80), in.At(80) + songLength);

    std::size_t at = 60 + std::size_t{headerSize};
    for (std::uint16_t p = 0; p < patterns; ++p) {
        if (!in.Has(at, 9)) return false;
        const std::uint32_t patternHeader = in.Dword(at);
        const std::uint16_t rows = in.Word(at + 5);
        const std::uint16_t packedSize = in.Word(at + 7);
        if (patternHeader < 9 || !in.Has(at, patternHeader)) return false;
        at += patternHeader;
        if (!in.Has(at, packedSize)) return false;
        if (!ScanPattern(in, at, packedSize, p, rows, channels, layout)) return false;
        layout.patternRows.push_back(rows);
        at += packedSize;
    }
    return true;
}
