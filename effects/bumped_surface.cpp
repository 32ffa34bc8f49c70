// Placeholder until the effect is built: a surface and no drawing.
#include "effects/bumped_surface.h"

int BumpedSurface::Init() {
    width = 320;
    height = 240;
    return CreateOwnSurface(320, 240, DDSCAPS_OFFSCREENPLAIN, "BumpedSurface> CreateSurface FAILED");
}

int BumpedSurface::Render(std::int32_t) { return 0; }
