// Synthesis of every instrument. All samples play at sampleRate when the note is C-4: one period
// of a pitched sample is 128 samples, so C-4 sounds at 33452 / 128 = 261.3 Hz.
#include "tools/compose/instruments.h"

#include "tools/compose/synth.h"

#include <cmath>

namespace compose {
namespace {

using synth::DecayPerSample;
using synth::SineCycles;

constexpr double sampleRate = 33452.0;  // 8363 Hz two octaves up
constexpr std::int8_t relativeNote = 24;
constexpr int period = 128;         // samples per cycle of a pitched sample
constexpr double samplePeak = 0.9;  // of full scale, before the volume column

int Samples(double seconds) { return static_cast<int>(seconds * sampleRate); }

// A short linear fade over the last samples so that a one-shot ends at silence.
void FadeTail(std::vector<double>& signal, int length) {
    const int n = static_cast<int>(signal.size());
    for (int i = 0; i < length && i < n; ++i) signal[static_cast<std::size_t>(n - 1 - i)] *= double(i) / length;
}

xm::Sample OneShot(const char* name, const std::vector<double>& signal, std::uint8_t panning) {
    xm::Sample sample;
    sample.name = name;
    sample.data = synth::Quantize(signal, samplePeak);
    sample.panning = panning;
    sample.relativeNote = relativeNote;
    return sample;
}

xm::Sample Looped(const char* name, const std::vector<double>& signal, std::uint32_t loopStart, std::uint8_t panning) {
    xm::Sample sample = OneShot(name, signal, panning);
    sample.loop = true;
    sample.loopStart = loopStart;
    sample.loopLength = static_cast<std::uint32_t>(signal.size()) - loopStart;
    return sample;
}

// A pitch sweep from about 200 Hz down to 46 Hz under a 0.2 s decay, lightly driven.
std::vector<double> KickSound() {
    std::vector<double> out(static_cast<std::size_t>(Samples(0.32)));
    double sweep = 1.0, level = 1.0, click = 0.35, phase = 0.0;
    synth::Noise noise(11);
    synth::LowPass clickTone(3000.0, sampleRate);
    for (double& v : out) {
        phase += (46.0 + 150.0 * sweep) / sampleRate;
        double x = SineCycles(phase) * level + clickTone.Run(noise.Next()) * click;
        x = 1.4 * x / (1.0 + 0.4 * std::fabs(x));
        v = x;
        sweep *= DecayPerSample(0.028, sampleRate);
        level *= DecayPerSample(0.20, sampleRate);
        click *= DecayPerSample(0.003, sampleRate);
    }
    FadeTail(out, 300);
    return out;
}

// Two damped tones under a band of noise.
std::vector<double> SnareSound() {
    std::vector<double> out(static_cast<std::size_t>(Samples(0.28)));
    synth::Noise noise(23);
    synth::LowPass top(7000.0, sampleRate);
    synth::HighPass bottom(400.0, sampleRate);
    double tone = 1.0, hiss = 1.0, phase1 = 0.0, phase2 = 0.0;
    for (double& v : out) {
        phase1 += 185.0 / sampleRate;
        phase2 += 330.0 / sampleRate;
        const double body = (SineCycles(phase1) + 0.5 * SineCycles(phase2)) * tone;
        v = 0.6 * body + 0.9 * bottom.Run(top.Run(noise.Next())) * hiss;
        tone *= DecayPerSample(0.045, sampleRate);
        hiss *= DecayPerSample(0.08, sampleRate);
    }
    FadeTail(out, 300);
    return out;
}

// High-passed noise twice over, decaying with time constant `decay`.
std::vector<double> MetalNoise(double seconds, double decay, double cutoff, std::uint32_t seed) {
    std::vector<double> out(static_cast<std::size_t>(Samples(seconds)));
    synth::Noise noise(seed);
    synth::HighPass first(cutoff, sampleRate), second(cutoff, sampleRate);
    double level = 1.0;
    int i = 0;
    for (double& v : out) {
        const double attack = i < 30 ? double(i) / 30 : 1.0;  // 1 ms
        v = second.Run(first.Run(noise.Next())) * level * attack;
        level *= DecayPerSample(decay, sampleRate);
        ++i;
    }
    FadeTail(out, 600);
    return out;
}

// Band-limited noise in a loop of half a second at C-4; a rising pitch brightens it.
std::vector<double> RiserSound() {
    std::vector<double> out(16384);
    synth::Noise noise(37);
    synth::HighPass low(300.0, sampleRate);
    synth::LowPass high(5000.0, sampleRate);
    for (double& v : out) v = high.Run(low.Run(noise.Next()));
    return out;
}

// Cycles of harmonic weights that go from `bright` to `dark` (corner harmonic), then one loop cycle.
std::vector<double> DarkeningCycles(int attackCycles, double bright, double dark,
                                    std::vector<double> (*weights)(double corner)) {
    std::vector<double> out;
    for (int c = 0; c <= attackCycles; ++c) {
        const double u = double(c) / attackCycles;
        const double corner = dark + (bright - dark) * (1.0 - u) * (1.0 - u) * (1.0 - u);
        const std::vector<double> cycle = synth::HarmonicCycle(period, weights(corner));
        out.insert(out.end(), cycle.begin(), cycle.end());
    }
    return out;
}

std::vector<double> BassWeights(double corner) {
    std::vector<double> w = synth::SawHarmonics(32, corner);
    w[0] += 0.6;  // a sine sub under the saw
    return w;
}

std::vector<double> PluckWeights(double corner) {
    const std::vector<double> square = synth::SquareHarmonics(31, corner);
    const std::vector<double> saw = synth::SawHarmonics(31, corner);
    std::vector<double> w(square.size());
    for (std::size_t n = 0; n < w.size(); ++n) w[n] = 0.6 * square[n] + 0.4 * saw[n];
    return w;
}

// Three saws of 127, 128 and 129 cycles per loop, about 13.5 cents apart, so they beat slowly
// against each other, and a quieter saw an octave up.
std::vector<double> PadSound() {
    const std::vector<double> saw = synth::SawHarmonics(20, 6.0);
    return synth::OscillatorLoop(
        16384, {{127, 1.0, 0, saw}, {128, 1.0, 3001, saw}, {129, 1.0, 7919, saw}, {256, 0.35, 12345, saw}});
}

std::vector<double> LeadSound() {
    return synth::OscillatorLoop(16384, {{128, 1.0, 0, synth::SawHarmonics(24, 12.0)},
                                         {129, 0.8, 5003, synth::SawHarmonics(24, 12.0)},
                                         {127, 0.6, 9001, synth::SquareHarmonics(23, 10.0)}});
}

// Inharmonic partials, each with its own decay.
std::vector<double> BellSound() {
    struct Partial {
        double ratio, gain, decay;
    };
    const Partial partials[] = {
        {1.0, 1.0, 0.7}, {2.0, 0.45, 0.35}, {3.0, 0.15, 0.2}, {4.07, 0.22, 0.12}, {5.33, 0.1, 0.08}};
    std::vector<double> out(static_cast<std::size_t>(Samples(1.0)), 0.0);
    for (const Partial& p : partials) {
        double level = p.gain;
        const double decay = DecayPerSample(p.decay, sampleRate);
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] += SineCycles(double(i) * p.ratio / period) * level;
            level *= decay;
        }
    }
    for (int i = 0; i < 60; ++i) out[static_cast<std::size_t>(i)] *= double(i) / 60;
    FadeTail(out, 2000);
    return out;
}

xm::Envelope Env(std::vector<xm::EnvelopePoint> points, int sustain = -1) { return {std::move(points), sustain}; }

xm::Instrument Make(const char* name, xm::Sample sample, xm::Envelope envelope = {}, std::uint16_t fadeout = 0) {
    xm::Instrument instrument;
    instrument.name = name;
    instrument.sample = std::move(sample);
    instrument.volumeEnvelope = std::move(envelope);
    instrument.fadeout = fadeout;
    return instrument;
}

}  // namespace

std::vector<xm::Instrument> MakeInstruments() {
    const std::vector<double> bassCycles = DarkeningCycles(24, 14.0, 4.0, BassWeights);
    const std::vector<double> pluckCycles = DarkeningCycles(16, 20.0, 5.0, PluckWeights);
    const std::vector<double> subCycle = synth::HarmonicCycle(period, {1.0, 0.12, 0.04});

    std::vector<xm::Instrument> list;
    list.push_back(Make("kick", OneShot("kick", KickSound(), 128)));
    list.push_back(Make("snare", OneShot("snare", SnareSound(), 128)));
    list.push_back(Make("closed hat", OneShot("closed hat", MetalNoise(0.09, 0.018, 7000.0, 41), 152)));
    list.push_back(Make("open hat", OneShot("open hat", MetalNoise(0.5, 0.16, 6000.0, 43), 104)));
    list.push_back(Make("crash", OneShot("crash", MetalNoise(1.8, 0.55, 3500.0, 47), 128)));
    list.push_back(Make("riser", Looped("riser", RiserSound(), 0, 128)));
    list.push_back(Make("bass", Looped("bass", bassCycles, std::uint32_t(bassCycles.size()) - period, 128),
                        Env({{0, 64}, {3, 48}, {6, 30}, {12, 0}})));
    list.push_back(Make("sub bass", Looped("sub bass", subCycle, 0, 128), Env({{0, 0}, {2, 64}}, 1), 1024));
    list.push_back(Make("pad", Looped("pad", PadSound(), 0, 128), Env({{0, 0}, {20, 64}}, 1), 600));
    xm::Instrument leadInstrument =
        Make("lead", Looped("lead", LeadSound(), 0, 128), Env({{0, 0}, {2, 64}, {14, 50}}, 2), 2000);
    leadInstrument.vibrato = {0, 60, 3, 12};
    list.push_back(leadInstrument);
    list.push_back(Make("pluck", Looped("pluck", pluckCycles, std::uint32_t(pluckCycles.size()) - period, 96),
                        Env({{0, 64}, {4, 42}, {12, 22}, {30, 8}, {60, 0}})));
    list.push_back(Make("bell", OneShot("bell", BellSound(), 168)));
    return list;
}

}  // namespace compose
