// Writes the fuzzers' seed modules into a directory: small songs that reach the scanner's and the
// player's paths (syncs on every cell, a one-row song, jumps and breaks, tempo changes, a sample).
#include <cstdio>
#include <string>
#include <vector>

#include "tests/midas_test_module.h"

namespace {

using xmtest::Builder;
using xmtest::Cell;

bool Write(const std::string& directory, const char* name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = directory + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::vector<std::uint8_t> SyncsEverywhere() {
    Builder b(4);
    const int p = b.AddPattern(16);
    for (int row = 0; row < 16; ++row)
        for (int channel = 0; channel < 4; ++channel)
            b.Set(p, row, channel, xmtest::Sync(static_cast<std::uint8_t>(row * 4 + channel)));
    b.SetOrders({0, 0});
    return b.Build();
}

std::vector<std::uint8_t> OneRow() {
    Builder b(1);
    b.AddPattern(1);
    b.Set(0, 0, 0, xmtest::Sync(1));
    b.SetOrders({0});
    return b.Build();
}

// Position jump (B), pattern break (D), speed and tempo (F) and notes on a sample.
std::vector<std::uint8_t> JumpsAndTempo() {
    Builder b(3);
    b.AddSquareInstrument();
    const int first = b.AddPattern(8);
    const int second = b.AddPattern(4);
    b.Set(first, 0, 0, xmtest::Note(49));
    b.Set(first, 1, 1, Cell{0, 0, 0, 15, 3});      // speed 3
    b.Set(first, 2, 2, Cell{0, 0, 0, 15, 200});    // 200 BPM
    b.Set(first, 3, 0, xmtest::Sync(7));
    b.Set(first, 5, 1, Cell{0, 0, 0, 13, 0x02});   // break to row 2 of the next
    b.Set(second, 2, 0, xmtest::Sync(9));
    b.Set(second, 3, 2, Cell{0, 0, 0, 11, 0});     // jump to position 0
    b.SetOrders({0, 1, 1}, 1);
    return b.Build();
}

std::vector<std::uint8_t> ManyPatterns() {
    Builder b(2);
    std::vector<std::uint8_t> orders;
    for (int p = 0; p < 32; ++p) {
        b.AddPattern(1 + p % 5);
        b.Set(p, 0, p % 2, xmtest::Sync(static_cast<std::uint8_t>(p)));
        orders.push_back(static_cast<std::uint8_t>(31 - p));
    }
    b.SetOrders(orders);
    return b.Build();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    const bool ok = Write(directory, "syncs-everywhere.xm", SyncsEverywhere()) && Write(directory, "one-row.xm", OneRow()) &&
                    Write(directory, "jumps-and-tempo.xm", JumpsAndTempo()) &&
                    Write(directory, "many-patterns.xm", ManyPatterns());
    if (!ok) std::fprintf(stderr, "%s: cannot write the seeds into %s\n", argv[0], directory.c_str());
    return ok ? 0 : 1;
}
