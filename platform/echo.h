// The module player's echo: one stereo delay line read by several taps, with feedback, applied in
// place to interleaved float output. It knows nothing of threads or modules, so tests drive it with
// plain buffers.
#pragma once

#include <cstddef>
#include <vector>

struct MIDASechoSet;

struct EchoTap {
    int delayFrames;       // at least 1
    float gain;            // may be negative
    bool reverseChannels;  // the tap reads right into left and left into right
    bool lowPass;
};

// With x[n] the dry stereo frame, D the delay line, t_k[n] = D[n - d_k] (left and right swapped for a
// reversing tap), per frame n and tap k:
//   y_k[n] = y_k[n-1] + (t_k[n] - y_k[n-1]) / 2    for a low-pass tap (one pole at 1/2, about 5.5 kHz
//            at 48 kHz); y_k[n] = t_k[n] otherwise
//   w[n]   = sum over k of g_k * y_k[n]             (the wet signal)
//   D[n]   = x[n] + F * w[n]                        (feedback returns the taps with the dry signal)
//   out[n] = x[n] + G * f[n] * w[n]                 (the set's gain beside the dry signal)
// f[n] is 1 until FadeOut; from there it falls linearly to 0 over fadeFrames frames, after which the
// echo is finished and passes the dry signal through untouched.
class Echo {
public:
    Echo(float feedback, float gain, const std::vector<EchoTap>& taps, int fadeFrames);

    // The player's record at `rate` frames per second. Its 16.16 values are integer / 65536; a
    // delay of delay / 65536 ms becomes round(delay * rate / 65 536 000) frames, at least 1; filter
    // type 1 is the low-pass. A record with no echo list has no taps.
    static Echo FromSet(const MIDASechoSet& set, int rate);

    void Process(float* samples, int frames);  // interleaved stereo, in place
    void FadeOut();
    bool Finished() const { return finished_; }

private:
    struct Tap {
        EchoTap shape;
        std::size_t read;  // frame index into the line, one delay behind the write index
        float lowL = 0.0f;
        float lowR = 0.0f;
    };

    void ProcessFrame(float* frame, float fade);

    float feedback_;
    float gain_;
    std::vector<Tap> taps_;
    std::vector<float> line_;  // stereo frames, one longer than the longest delay
    std::size_t frames_;
    std::size_t write_ = 0;
    int fadeFrames_;
    int fadeLeft_ = 0;  // frames of the fade still to go; 0 while not fading
    bool fading_ = false;
    bool finished_ = false;
};
