// The drifting colour shared by the field lines and the dot cube: three components that follow the
// angle tables with time, and the palette ramp built from them.
#pragma once

#include <cstdint>

struct Tint {
    std::int32_t red, green, blue;  // 0..255
};

// Red turns every 3600 ms, green every 7200 ms, blue every 1800 ms; `t` is effect ms, at least 0.
Tint DriftTint(std::int32_t t);
// Entries 0..127 rise from black towards the tint, 128..255 from the tint towards (nearly) white.
void BuildTintPalette(std::uint32_t palette[256], Tint tint);
