// Writes the fuzzers' seed modules into a directory: the small songs of tests/midas_test_module.h,
// which reach the scanner's and the player's paths (syncs on every cell, a one-row song, jumps and
// breaks, tempo changes, a sample).
#include <cstdio>
#include <string>
#include <vector>

#include "tests/midas_test_module.h"

namespace {

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    for (const xmtest::SmallModule& m : xmtest::smallModules) {
        const std::string path = directory + "/" + m.name + ".xm";
        if (!Write(path, m.make())) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    return 0;
}
