// A host for the module-player tests: it keeps the audio source the player opens and lets the test
// render with it, and records the audio calls; everything else does nothing.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/midas.h"
#include "platform/midas_layer.h"
#include "platform/silent_output.h"

namespace midastest {

class FakeHost final : public qhost::IdleHost {
public:
    bool OpenWindow(const char*) override { return true; }

    bool OpenAudio(int rate, qhost::AudioSource audioSource) override {
        calls.push_back("OpenAudio");
        openedRate = rate;
        source = audioSource;
        return audioWorks;
    }
    void CloseAudio() override {
        calls.push_back("CloseAudio");
        source = nullptr;
    }
    std::uint32_t AudioBufferFrames() override { return bufferFrames; }
    // Without sound the test pumps the layer's silent output itself, with times of its choosing.
    void PumpSilentOutput(qaudio::SilentOutput* output) override {
        calls.push_back(output ? "PumpSilentOutput" : "StopSilentOutput");
        silent = output;
    }

    bool audioWorks = true;
    std::uint32_t bufferFrames = 1024;
    int openedRate = 0;
    qhost::AudioSource source = nullptr;
    qaudio::SilentOutput* silent = nullptr;
    std::vector<std::string> calls;
};

// Every sync callback, with the frame at which the 64-frame render call that made it began.
struct Fired {
    std::uint32_t value;
    std::uint32_t order;
    std::uint32_t row;
    long frame;
};

// The test's own record of the callbacks; the callback runs on whichever thread renders.
inline std::vector<Fired> fired;
inline long renderedFrames = 0;

inline void RecordSync(std::uint32_t value, std::uint32_t order, std::uint32_t row) {
    fired.push_back({value, order, row, renderedFrames});
}

// Renders `frames` frames in calls of 64 so that each callback is placed within one slice.
inline std::vector<float> Render(long frames) {
    std::vector<float> out(static_cast<std::size_t>(frames) * 2);
    for (long done = 0; done < frames; done += 64) {
        const int n = static_cast<int>(std::min<long>(64, frames - done));
        MidasRenderAudio(out.data() + done * 2, n);
        renderedFrames += n;
    }
    return out;
}

// The player starts every test closed and with its fallback on, on a fake host.
class MidasTest : public ::testing::Test {
protected:
    void SetUp() override {
        MIDASclose();
        MidasUseFallbackModule(true);
        qhost::SetCurrent(&host);
        fired.clear();
        renderedFrames = 0;
    }
    void TearDown() override {
        MIDASclose();
        qhost::SetCurrent(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(Folder(), ignored);
    }

    // A folder of this test process's own for module files.
    static std::filesystem::path Folder() {
        return std::filesystem::path(::testing::TempDir()) / ("quendralis-midas-" + std::to_string(getpid()));
    }
    static std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::filesystem::create_directories(Folder());
        const std::filesystem::path path = Folder() / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    FakeHost host;
};

}  // namespace midastest
