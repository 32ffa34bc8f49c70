// The capture's frame loop: the demo on the virtual host at a fixed frame rate, every frame and its
// sound handed to the sink, until the range is done, a write fails, or Ctrl-C stops it.
#pragma once

#include "platform/capture/frame_sink.h"
#include "platform/capture/options.h"

struct CaptureResult {
    long frames = 0;       // frames written
    bool failed = false;   // a write failed
    bool stopped = false;  // SIGINT or SIGTERM ended it early
};

// Frames firstFrame .. firstFrame + frameCount - 1 of the show at o.fps.
CaptureResult RunCapture(const Options& o, FrameSink& sink, long firstFrame, long frameCount);
