// The seven effect objects of the show, one per screen element.
#pragma once

#include "effects/bumped_surface.h"
#include "effects/glowing_dot_object.h"
#include "effects/magnetic_field.h"
#include "effects/motion_text.h"
#include "effects/screen_flash.h"
#include "effects/sweep.h"

extern GlowingDotObject dotCube;
extern BumpedSurface bump;
extern Sweep sweep;
extern MagneticField field;
extern ScreenFlash flash;
extern MotionText topText;
extern MotionText bottomText;
