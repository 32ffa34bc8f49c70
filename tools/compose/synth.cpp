// Deterministic sine, noise, filters and additive oscillators for the instruments.
#include "tools/compose/synth.h"

#include <cmath>

namespace synth {

namespace {
constexpr double pi = 3.14159265358979323846;
}

// Folded to a quarter wave, [-pi/2, pi/2], where the Taylor series to t^19 is exact to about 1e-13.
double SineCycles(double x) {
    x -= std::floor(x);
    if (x > 0.75)
        x -= 1.0;
    else if (x > 0.25)
        x = 0.5 - x;
    const double t = 2.0 * pi * x;
    const double t2 = t * t;
    double sum = 1.0;
    for (int k = 9; k >= 1; --k) sum = 1.0 - t2 / double((2 * k) * (2 * k + 1)) * sum;
    return t * sum;
}

double Noise::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(static_cast<std::int32_t>(state_)) / 2147483648.0;
}

// The bilinear-like form w / (1 + w) stays stable and close to 1 - e^-w for the cutoffs used here.
LowPass::LowPass(double cutoffHz, double rate) {
    const double w = 2.0 * pi * cutoffHz / rate;
    a_ = w / (1.0 + w);
}

// (1 - 1/N)^N is e^-1 to within a fraction of a percent for the thousands of samples of any decay here.
double DecayPerSample(double seconds, double rate) { return 1.0 - 1.0 / (seconds * rate); }

namespace {

std::vector<double> SineTable(int length) {
    std::vector<double> table(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) table[static_cast<std::size_t>(i)] = SineCycles(double(i) / length);
    return table;
}

}  // namespace

std::vector<double> HarmonicCycle(int length, const std::vector<double>& amplitudes) {
    return OscillatorLoop(length, {{1, 1.0, 0, amplitudes}});
}

// Harmonic n of an oscillator of c cycles sits at n * c cycles per loop; the product, taken modulo
// the power-of-two length, indexes the table exactly.
std::vector<double> OscillatorLoop(int length, const std::vector<LoopOscillator>& oscillators) {
    const std::vector<double> table = SineTable(length);
    const std::uint32_t mask = static_cast<std::uint32_t>(length - 1);
    std::vector<double> out(static_cast<std::size_t>(length), 0.0);
    for (const LoopOscillator& osc : oscillators) {
        for (std::size_t h = 0; h < osc.amplitudes.size(); ++h) {
            const double amplitude = osc.gain * osc.amplitudes[h];
            if (amplitude == 0.0) continue;
            const std::uint32_t step = static_cast<std::uint32_t>((h + 1) * static_cast<std::size_t>(osc.cycles));
            const std::uint32_t offset = static_cast<std::uint32_t>((h + 1) * static_cast<std::size_t>(osc.phase));
            std::uint32_t index = offset;
            for (double& v : out) {
                v += amplitude * table[index & mask];
                index += step;  // wraps modulo 2^32, a multiple of the table length
            }
        }
    }
    return out;
}

namespace {

std::vector<double> Harmonics(int count, double corner, bool oddOnly) {
    std::vector<double> amplitudes(static_cast<std::size_t>(count), 0.0);
    for (int n = 1; n <= count; ++n) {
        if (oddOnly && n % 2 == 0) continue;
        const double soft = double(n) / corner;
        amplitudes[static_cast<std::size_t>(n - 1)] = 1.0 / n / (1.0 + soft * soft);
    }
    return amplitudes;
}

}  // namespace

std::vector<double> SawHarmonics(int count, double corner) { return Harmonics(count, corner, false); }
std::vector<double> SquareHarmonics(int count, double corner) { return Harmonics(count, corner, true); }

std::vector<std::int16_t> Quantize(const std::vector<double>& signal, double peak) {
    double largest = 0.0;
    for (double v : signal) largest = std::fmax(largest, std::fabs(v));
    const double scale = largest > 0.0 ? peak * 32767.0 / largest : 0.0;
    std::vector<std::int16_t> out;
    out.reserve(signal.size());
    for (double v : signal) out.push_back(static_cast<std::int16_t>(std::floor(v * scale + 0.5)));
    return out;
}

}  // namespace synth
