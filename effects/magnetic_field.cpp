// Placeholder until the effect is built: a surface and no drawing.
#include "effects/magnetic_field.h"

int MagneticField::Init() {
    width = 320;
    height = 240;
    return CreateOwnSurface(320, 240, DDSCAPS_OFFSCREENPLAIN, "MagneticField> CreateSurface FAILED");
}

int MagneticField::Render(std::int32_t) { return 0; }
