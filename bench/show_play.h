// The whole show played on the virtual host at 60 frames a second of demo time, rendering only (no
// screen, no sound card), timed frame by frame; shared by quendralis-bench and quendralis-bench-show,
// which also runs as WebAssembly under node.
#pragma once

constexpr int showRangeCount = 6;

struct ShowRange {
    const char* name;
    int first, last;  // handled sync counts
};
extern const ShowRange showRanges[showRangeCount];  // the last one is the whole show

struct ShowStats {
    double total[showRangeCount] = {}, worst[showRangeCount] = {};  // microseconds
    long frames[showRangeCount] = {};
    double startupUs = 0;
};

// Plays the show once with the kernel set in use.
ShowStats PlayShow();
