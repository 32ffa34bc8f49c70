// Each build computes the show to the same bits only while no multiply and add are fused into one
// instruction, which rounds once where the plain code rounds twice (aarch64 and x86-64-v3 compilers
// fuse by default). These inputs sit where the two roundings part: the values are those of separate
// roundings, and a build that fuses gives others, without any cross build to compare with.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "effects/magnetic_field.h"
#include "platform/echo.h"
#include "platform/midas.h"
#include "render/kernels.h"
#include "render/tables.h"

namespace {

// At 650 ms the fifth pole's table value is -243: -243 * 0.6666666666666666 rounds to -162.0, so x
// is -2; fused, -1.99999999999999... truncates to -1.
TEST(UnfusedArithmetic, PolePositionsRoundTheProductBeforeTheAdd) {
    BuildTrigTables();
    std::int32_t x[poleCount], y[poleCount];
    PolePositions(650, x, y);
    const std::int32_t expectedX[poleCount] = {231, 297, 264, 288, 282, -2, 328, 328, 276, 300};
    const std::int32_t expectedY[poleCount] = {207, 132, 246, 233, 158, 207, 132, 89, 244, 229};
    for (int k = 0; k < poleCount; ++k) {
        EXPECT_EQ(x[k], expectedX[k]) << "pole " << k;
        EXPECT_EQ(y[k], expectedY[k]) << "pole " << k;
    }
}

// The streak length (random + 0.5) * pulse + 255 is 302 with the product rounded first, 301 fused,
// which moves the streak's end by a pixel. Sixteen equal dots take every set's vector and scalar paths.
TEST(UnfusedArithmetic, DotStreakLengthRoundsTheProductBeforeTheAdd) {
    constexpr int count = 16;
    const std::uint16_t dot[3] = {255, 0, 255};
    std::uint8_t dots[6 * count];
    for (int i = 0; i < count; ++i) std::memcpy(dots + 6 * i, dot, sizeof dot);
    const std::int32_t turns[6] = {0, 255, 0, 255, 0, 255};
    const std::vector<double> random(count, 0x1.c28f5c28f5c1ep-2);
    for (KernelSet set : {KernelSet::Reference, KernelSet::SSE2, KernelSet::AVX2, KernelSet::AVX512}) {
        UseKernelSet(set);
        if (CurrentKernelSet() != set) continue;
        SCOPED_TRACE(KernelSetName(set));
        std::int32_t x0[count], y0[count], x1[count], y1[count];
        ProjectDots(dots, count, turns, 50, random.data(), x0, y0, x1, y1);
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(x0[i], 172) << i;
            EXPECT_EQ(y0[i], 107) << i;
            EXPECT_EQ(x1[i], 175) << i;
            EXPECT_EQ(y1[i], 104) << i;
        }
    }
    UseKernelSet(BestKernelSet());
}

// The echo's taps add gain * sample to the wet sum and feed it back: a second of the demo's echo
// after a click, hashed bit for bit (FNV-1a over the float bits of every sample).
TEST(UnfusedArithmetic, EchoImpulseResponseIsTheSameBitForBit) {
    MIDASecho echoes[5] = {
        {2752470, 10485, 0, 1},  {5177265, -12451, 0, 1}, {10288995, -17694, 1, 1},
        {10682205, 18349, 0, 1}, {26672745, 15728, 1, 1},
    };
    const MIDASechoSet set = {49151, 55704, 5, echoes};
    std::vector<float> buffer(48000 * 2, 0.0f);
    buffer[0] = 1.0f;
    Echo echo = Echo::FromSet(set, 48000);
    echo.Process(buffer.data(), 48000);
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (float sample : buffer) {
        std::uint32_t bits;
        std::memcpy(&bits, &sample, sizeof bits);
        hash = (hash ^ bits) * 0x100000001b3u;
    }
    EXPECT_EQ(hash, 0xad1b06500149b5e3u);
}

}  // namespace
