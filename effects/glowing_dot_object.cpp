// Placeholder until the effect is built: a surface and no drawing.
#include "effects/glowing_dot_object.h"

int GlowingDotObject::Init() {
    width = 320;
    height = 240;
    return CreateOwnSurface(320, 240, DDSCAPS_OFFSCREENPLAIN, "GlowingDotObject> CreateSurface FAILED");
}

int GlowingDotObject::Render(std::int32_t) { return 0; }
std::int32_t pulseLength = 0;
