// The module's instruments, synthesised: drums, noise, basses, pad, lead, pluck and bell.
#pragma once

#include "tools/compose/xm_writer.h"

#include <vector>

namespace compose {

// Instrument numbers as the patterns use them (1-based, in the order of MakeInstruments).
enum Instrument : std::uint8_t {
    kick = 1,
    snare,
    closedHat,
    openHat,
    crash,
    riser,
    bass,
    subBass,
    pad,
    lead,
    pluck,
    bell,
};

// Drums and noises sound as synthesised when played at C-4; pitched instruments are in tune
// (C-4 = 261.3 Hz, a few cents below concert pitch, the same for all of them).
std::vector<xm::Instrument> MakeInstruments();

}  // namespace compose
