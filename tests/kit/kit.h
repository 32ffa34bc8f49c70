// The test kit: what several tests and the bench do the same way. The whole show played with its
// sound on the virtual host, work done in a child process, and the repository's data files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/virtual/virtual_host.h"

namespace kit {

// What a show does after each presented frame (frames from 0).
struct ShowSteps {
    // Sees the frame before its sound is rendered, so that the sound is not part of what it sees.
    std::function<void(qhost::VirtualHost&, int frame)> look;
    // Asked once the frame's sound is rendered and the clock stands at the next frame's time
    // ((frame + 1) * 1000 / framesPerSecond ms); false presses Esc.
    std::function<bool(qhost::VirtualHost&, int frame)> goOn;
};

// Runs the demo on `host` at `framesPerSecond` frames a second of demo time, with 1/framesPerSecond s
// of sound rendered after each frame, and returns its exit code. No calls are recorded: a whole show
// makes millions of them.
int PlayShow(qhost::VirtualHost& host, int framesPerSecond, ShowSteps steps);

// Runs `work` in a forked child process, so that it starts from the demo's global state as it is now
// and changes none of ours. The bytes it returns, or nullopt when the child could not be started,
// did not end with 0 or its bytes did not all arrive.
std::optional<std::string> InChildProcess(const std::function<std::string()>& work);

// The bytes of the repository's data/`name` (made by the generators in tools/); empty when it cannot
// be read.
std::vector<std::uint8_t> DataFile(const std::string& name);

}  // namespace kit
