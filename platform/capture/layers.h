// The capture's --layers pictures: at chosen moments of the show, each drawing effect's planes,
// palette and surface, and the back buffer after each layer of the render table, with an index.
#pragma once

#include <string>
#include <vector>

// "12.5,40" as seconds, each 0..1e6, in the order given; false for anything else.
bool ParseLayerTimes(const std::string& text, std::vector<double>& seconds);

// Plays the show on the virtual host exactly as the frame capture does at `fps`, and at the first
// frame at or after each of `seconds` writes the pictures into `folder` (one folder per frame) and
// `folder`/index.json. Returns the exit code: 0, or 1 after a message on a failure.
int CaptureLayers(const std::vector<double>& seconds, int fps, const std::string& folder);
