// The piece: its sections, chords and parts, and the cue sheet of sync commands that moves the
// demo from scene to scene.
#pragma once

#include "tools/compose/xm_writer.h"

namespace compose {

xm::Module ComposeSong();

}  // namespace compose
