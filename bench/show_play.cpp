#include "bench/show_play.h"

#include <algorithm>
#include <chrono>

#include "music/timeline.h"
#include "platform/virtual/virtual_host.h"
#include "tests/kit/kit.h"

const ShowRange showRanges[showRangeCount] = {{"pictures 0-2", 0, 2},     {"drop 3", 3, 3},
                                              {"greets 4-26", 4, 26},     {"ending 27-31", 27, 31},
                                              {"after 32+", 32, 1 << 30}, {"show", 0, 1 << 30}};

ShowStats PlayShow() {
    using Clock = std::chrono::steady_clock;
    ShowStats s;
    qhost::VirtualHost host;
    const auto begin = Clock::now();
    auto frameStart = begin;
    bool first = true;
    host.onPoll = [&](qhost::VirtualHost& h) {
        if (first && h.audioOpen())
            s.startupUs = std::chrono::duration<double, std::micro>(Clock::now() - begin).count();
    };
    const auto timeFrame = [&](qhost::VirtualHost&, int) {
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - frameStart).count();
        if (!first) {
            for (int r = 0; r < showRangeCount; ++r)
                if (handledSync >= showRanges[r].first && handledSync <= showRanges[r].last) {
                    s.total[r] += us;
                    s.worst[r] = std::max(s.worst[r], us);
                    ++s.frames[r];
                }
        }
        first = false;
    };
    const auto goOn = [&](qhost::VirtualHost& h, int) {
        frameStart = Clock::now();  // the sound is not part of a frame's time
        return handledSync < 32 || h.clock <= 160000;
    };
    kit::PlayShow(host, 60, {timeFrame, goOn});
    return s;
}
