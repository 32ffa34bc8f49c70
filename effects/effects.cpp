// The effect objects, statically allocated; construction only gives each its class and a null surface.
#include "effects/effects.h"

GlowingDotObject dotCube;
BumpedSurface bump;
Sweep sweep;
MagneticField field;
ScreenFlash flash;
MotionText topText;
MotionText bottomText;
