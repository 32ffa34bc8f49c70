// What every data generator shares: writing one file into the output folder, a fixed random sequence,
// and floating point that gives the same bytes with every compiler.
#pragma once

// Only +, -, *, / and sqrt are used, which IEEE rounds exactly; fused multiply-adds would change the
// last bits and with them the committed data. (g++ already keeps them apart in ISO C++ mode.)
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace datafile {

// The one argument of every generator; nullptr, after the usage line, when it is not given alone.
inline const char* OutputDir(int argc, char** argv, const char* tool) {
    if (argc == 2) return argv[1];
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", tool);
    return nullptr;
}

// Writes `bytes` to OUTPUT_DIR/name; prints the reason and returns false when it cannot.
inline bool Write(const std::string& dir, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::perror(path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) std::fprintf(stderr, "%s: write failed\n", path.c_str());
    return written && closed;
}

// A small xorshift generator: the same sequence everywhere, independent of the standard library.
class Random {
public:
    explicit Random(std::uint32_t seed) : state(seed ? seed : 1u) {}
    std::uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Uniform in [0, 1) with 24 bits.
    double Unit() { return static_cast<double>(Next() >> 8) / 16777216.0; }
    double Between(double low, double high) { return low + (high - low) * Unit(); }

private:
    std::uint32_t state;
};

inline std::uint8_t ToByte(double value) {
    if (value <= 0.0) return 0;
    if (value >= 255.0) return 255;
    return static_cast<std::uint8_t>(value + 0.5);
}

}  // namespace datafile
