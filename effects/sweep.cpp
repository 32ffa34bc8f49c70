// Placeholder until the effect is built: a surface and no drawing.
#include "effects/sweep.h"

int Sweep::Setup(std::int32_t logoWidth, std::int32_t logoHeight, std::int32_t) {
    width = logoWidth;
    height = logoHeight;
    endTime = 0xFFFFFFFF;
    return CreateOwnSurface(320, 240, DDSCAPS_OFFSCREENPLAIN, "Sweep> CreateSurface FAILED");
}

int Sweep::Render(std::int32_t) { return 0; }
