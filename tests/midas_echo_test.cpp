// The echo on plain buffers, with the demo's echo set: a click shows each tap at its delay with its
// sign, side and low-pass, then the feedback's decay; removal fades the wet signal out without a click.
#include "platform/echo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "midas_fake_host.h"
#include "midas_test_module.h"
#include "platform/midas.h"

namespace {

MIDASecho demoEchoes[5] = {
    {2752470, 10485, 0, 1},  {5177265, -12451, 0, 1}, {10288995, -17694, 1, 1},
    {10682205, 18349, 0, 1}, {26672745, 15728, 1, 1},
};
MIDASechoSet demoSet = {49151, 55704, 5, demoEchoes};

constexpr float setGain = 55704 / 65536.0f;
constexpr float feedback = 49151 / 65536.0f;

// A click of 1 on the left channel at frame 0, through the demo's set at 48 kHz.
std::vector<float> ClickResponse(int frames) {
    std::vector<float> buffer(static_cast<std::size_t>(frames) * 2, 0.0f);
    buffer[0] = 1.0f;
    Echo echo = Echo::FromSet(demoSet, 48000);
    echo.Process(buffer.data(), frames);
    return buffer;
}

float Left(const std::vector<float>& b, int frame) { return b[static_cast<std::size_t>(frame) * 2]; }
float Right(const std::vector<float>& b, int frame) { return b[static_cast<std::size_t>(frame) * 2 + 1]; }

struct TapCase {
    int frame;  // delay in ms * 48, to the nearest frame
    float gain;
    bool swapped;
};

// 41.99936 ms, 78.99879 ms, 156.99760 ms, 162.99751 ms, 406.99379 ms.
const TapCase demoTaps[] = {
    {2016, 10485 / 65536.0f, false}, {3792, -12451 / 65536.0f, false}, {7536, -17694 / 65536.0f, true},
    {7824, 18349 / 65536.0f, false}, {19536, 15728 / 65536.0f, true},
};

TEST(Echo, ClickComesBackAtEachDelayWithItsSignSideAndLowPass) {
    const std::vector<float> out = ClickResponse(20000);
    EXPECT_EQ(Left(out, 0), 1.0f);
    EXPECT_EQ(Right(out, 0), 0.0f);
    for (const TapCase& t : demoTaps) {
        SCOPED_TRACE(t.frame);
        const auto side = [&](int frame) { return t.swapped ? Right(out, frame) : Left(out, frame); };
        const auto other = [&](int frame) { return t.swapped ? Left(out, frame) : Right(out, frame); };
        // The low-pass passes half of the click on its first frame, then half of that on each next.
        const float first = setGain * t.gain * 0.5f;
        EXPECT_NEAR(side(t.frame), first, 2e-3f);
        EXPECT_NEAR(side(t.frame - 1), 0.0f, 2e-3f);
        EXPECT_NEAR(side(t.frame + 1), first * 0.5f, 2e-3f);
        EXPECT_NEAR(side(t.frame + 2), first * 0.25f, 2e-3f);
        EXPECT_NEAR(other(t.frame), 0.0f, 2e-3f);
    }
}

TEST(Echo, FeedbackSendsTheTapsRoundAgainAndTheTailDiesAway) {
    const std::vector<float> out = ClickResponse(48000 * 12);
    // Twice through the first tap: gain squared and feedback, through two low-passes (1/4).
    const float g1 = 10485 / 65536.0f;
    const float second = setGain * feedback * g1 * g1 * 0.25f;
    EXPECT_NEAR(Left(out, 2 * 2016), second, second * 0.01f);
    EXPECT_NEAR(Left(out, 2 * 2016 - 1), 0.0f, second * 0.01f);

    // The loudest frame of each second after the first falls, and after ten seconds nothing is heard.
    float previous = 1.0f;
    for (int second_ = 1; second_ < 12; ++second_) {
        float peak = 0.0f;
        for (int f = second_ * 48000; f < (second_ + 1) * 48000; ++f)
            peak = std::max({peak, std::fabs(Left(out, f)), std::fabs(Right(out, f))});
        EXPECT_LT(peak, previous) << second_;
        previous = peak;
    }
    EXPECT_LT(previous, 1e-4f);
}

TEST(Echo, SteadyInputSettlesAtTheLoopGainOfTheFormula) {
    // For a constant x: D = x / (1 - F * sum g), out = x + G * sum g * D.
    const int frames = 48000 * 10;
    std::vector<float> buffer(static_cast<std::size_t>(frames) * 2, 0.5f);
    Echo echo = Echo::FromSet(demoSet, 48000);
    echo.Process(buffer.data(), frames);
    float sum = 0.0f;
    for (const TapCase& t : demoTaps) sum += t.gain;
    const float expected = 0.5f * (1.0f + setGain * sum / (1.0f - feedback * sum));
    EXPECT_NEAR(Left(buffer, frames - 1), expected, 1e-4f);
    EXPECT_NEAR(Right(buffer, frames - 1), expected, 1e-4f);
}

TEST(Echo, FadeOutRampsTheWetSignalDownInFiveMillisecondsAndThenPassesTheDrySignal) {
    const int settle = 48000 * 10;
    const int after = 2000;
    std::vector<float> buffer(static_cast<std::size_t>(settle + after) * 2, 0.5f);
    Echo echo = Echo::FromSet(demoSet, 48000);
    echo.Process(buffer.data(), settle);
    const float wet = Left(buffer, settle - 1) - 0.5f;
    ASSERT_GT(wet, 0.05f);

    echo.FadeOut();
    echo.Process(buffer.data() + settle * 2, after);
    EXPECT_TRUE(echo.Finished());
    // 240 frames of fade: no step larger than a 240th of the wet level, so no click.
    float largestStep = 0.0f;
    for (int f = settle; f < settle + after; ++f)
        largestStep = std::max(largestStep, std::fabs(Left(buffer, f) - Left(buffer, f - 1)));
    EXPECT_LE(largestStep, wet / 240.0f * 1.05f);
    EXPECT_GT(Left(buffer, settle + 100), 0.5f);
    for (int f = settle + 240; f < settle + after; ++f) ASSERT_EQ(Left(buffer, f), 0.5f) << f;

    // A click after the removal comes back unchanged, with no echo.
    std::vector<float> click(20000 * 2, 0.0f);
    click[0] = 1.0f;
    echo.Process(click.data(), 20000);
    EXPECT_EQ(click[0], 1.0f);
    EXPECT_EQ(std::count(click.begin() + 1, click.end(), 0.0f), static_cast<long>(click.size()) - 1);
}

TEST(Echo, SetWithoutEchoesPassesTheDrySignal) {
    MIDASechoSet none = {49151, 55704, 3, nullptr};
    std::vector<float> buffer = {1.0f, -1.0f, 0.5f, 0.25f, 0.0f, 0.0f};
    const std::vector<float> dry = buffer;
    Echo echo = Echo::FromSet(none, 48000);
    echo.Process(buffer.data(), 3);
    EXPECT_EQ(buffer, dry);
}

// Through the player: the echo applies to the song as rendered until MIDASremoveEchoEffect, and
// from 240 frames after the removal on the output is the song's own, sample for sample.
class MidasEchoTest : public midastest::MidasTest {
protected:
    std::vector<float> PlaySong(bool withEcho, long removeAt, long frames) {
        MIDASclose();
        EXPECT_EQ(MIDASstartup(), 1);
        EXPECT_EQ(MIDASinit(), 1);
        const MIDASechoHandle echo = withEcho ? MIDASaddEchoEffect(&demoSet) : 0;
        xmtest::Builder b(1);
        b.AddPattern(8);
        b.Set(0, 0, 0, xmtest::Note(49));
        b.SetOrders({0});
        b.AddSquareInstrument();
        const MIDASmodule module = MIDASloadModule(WriteFile("tone.xm", b.Build()).c_str());
        EXPECT_NE(MIDASplayModule(module, 1), 0u);
        std::vector<float> out = midastest::Render(removeAt);
        if (withEcho) {
            EXPECT_EQ(MIDASremoveEchoEffect(echo), 1);
            EXPECT_EQ(MIDASremoveEchoEffect(echo), 0);
        }
        const std::vector<float> rest = midastest::Render(frames - removeAt);
        out.insert(out.end(), rest.begin(), rest.end());
        return out;
    }
};

TEST_F(MidasEchoTest, PlayerEchoesTheSongUntilTheEchoIsRemoved) {
    const long removeAt = 8640;
    const long frames = 20000;
    const std::vector<float> wet = PlaySong(true, removeAt, frames);
    const std::vector<float> dry = PlaySong(false, removeAt, frames);
    const auto at = [](long frame) { return static_cast<std::ptrdiff_t>(frame * 2); };
    // Nothing has come back before the first tap's 2016 frames; after it, the echo is heard.
    EXPECT_TRUE(std::equal(wet.begin(), wet.begin() + at(2016), dry.begin()));
    EXPECT_FALSE(std::equal(wet.begin() + at(2016), wet.begin() + at(removeAt), dry.begin() + at(2016)));
    EXPECT_TRUE(std::equal(wet.begin() + at(removeAt + 240), wet.end(), dry.begin() + at(removeAt + 240)));
}

}  // namespace
