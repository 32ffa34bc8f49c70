// The drifting colour shared by the field lines and the dot cube.
#include "effects/field_colours.h"

#include "render/tables.h"

namespace {

// Table values -255..255 to 0..255.
std::int32_t Half(std::int32_t v) { return (v + 255) >> 1; }

}  // namespace

Tint DriftTint(std::int32_t t) {
    const auto u = static_cast<std::uint32_t>(t);  // never negative; 2t stays below 2^32
    return {Half(cosTable[u % 3600]), Half(cosTable[(u / 2) % 3600]), Half(sinTable[(2 * u) % 3600])};
}

void BuildTintPalette(std::uint32_t palette[256], Tint tint) {
    const auto pack = [](std::int32_t r, std::int32_t g, std::int32_t b) {
        return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
    };
    for (std::int32_t i = 0; i < 128; ++i) {
        palette[i] = pack((i * tint.red) >> 7, (i * tint.green) >> 7, (i * tint.blue) >> 7);
        palette[128 + i] = pack(tint.red + ((i * (255 - tint.red)) >> 7), tint.green + ((i * (255 - tint.green)) >> 7),
                                tint.blue + ((i * (255 - tint.blue)) >> 7));
    }
}
