// Sound building blocks for the generator's instruments. Only +, -, * and / on doubles and integer
// noise are used, so the samples come out bit for bit the same with every compiler.
#pragma once

#include <cstdint>
#include <vector>

namespace synth {

// sin(2 pi x), x in cycles.
double SineCycles(double x);

// A fixed sequence of white noise in [-1, 1), different for each seed.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed ? seed : 1) {}
    double Next();

private:
    std::uint32_t state_;
};

// One-pole low-pass at roughly `cutoffHz`; the coefficient needs no exponential.
class LowPass {
public:
    LowPass(double cutoffHz, double rate);
    double Run(double x) {
        y_ += a_ * (x - y_);
        return y_;
    }

private:
    double a_;
    double y_ = 0.0;
};

// x minus its low-passed self.
class HighPass {
public:
    HighPass(double cutoffHz, double rate) : low_(cutoffHz, rate) {}
    double Run(double x) { return x - low_.Run(x); }

private:
    LowPass low_;
};

// The factor that shrinks a value to 1/e over `seconds` when applied once per sample.
double DecayPerSample(double seconds, double rate);

// One period of `length` samples (a power of two) summed from harmonics 1..amplitudes.size() of
// sines from an exact table: amplitudes[n - 1] is the weight of harmonic n.
std::vector<double> HarmonicCycle(int length, const std::vector<double>& amplitudes);

// A loop of `length` samples (a power of two) holding oscillators that each complete a whole
// number of cycles in it, so the loop joins without a seam. Each oscillator has the given
// harmonic weights and a phase offset in table steps.
struct LoopOscillator {
    int cycles;
    double gain;
    int phase;
    std::vector<double> amplitudes;
};
std::vector<double> OscillatorLoop(int length, const std::vector<LoopOscillator>& oscillators);

// Harmonic weights of a sawtooth (1/n) or square (odd harmonics, 1/n), softened above `corner`.
std::vector<double> SawHarmonics(int count, double corner);
std::vector<double> SquareHarmonics(int count, double corner);

// Scales to a peak of `peak` (of full scale) and rounds to 16 bits.
std::vector<std::int16_t> Quantize(const std::vector<double>& signal, double peak);

}  // namespace synth
