// The whole-plane kernels: the exact values of each operation in every kernel set the processor has,
// and every fast set equal to the plain reference byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "render/kernel_sets.h"
#include "render/kernels.h"

// Names the kernel set in test output.
void PrintTo(KernelSet set, std::ostream* out) { *out << KernelSetName(set); }

namespace {

// Exactly one plane on the heap, so that a sanitizer catches any byte read or written beyond it.
using Plane = std::vector<std::uint8_t>;

Plane Filled(std::uint8_t value) { return Plane(planeSize, value); }

Plane RandomPlane(unsigned seed) {
    std::mt19937 random(seed);
    Plane plane(planeSize);
    for (std::uint8_t& byte : plane) byte = static_cast<std::uint8_t>(random());
    return plane;
}

std::uint8_t At(const Plane& plane, int row, int column) { return plane[planeWidth * row + column]; }

bool RowsEqual(const Plane& a, const Plane& b, int firstRow, int endRow) {
    return std::memcmp(a.data() + planeWidth * firstRow, b.data() + planeWidth * firstRow,
                       planeWidth * (endRow - firstRow)) == 0;
}

bool RowIsZero(const Plane& plane, int row) { return RowsEqual(plane, Filled(0), row, row + 1); }

std::string SetName(const testing::TestParamInfo<KernelSet>& info) { return KernelSetName(info.param); }

// The set this build and processor should start on: on x86 by the processor, elsewhere by the build.
KernelSet ExpectedBestSet() {
#if defined(QUENDRALIS_AVX_KERNELS)
    const bool avx512 =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
    return avx512 ? KernelSet::AVX512 : __builtin_cpu_supports("avx2") ? KernelSet::AVX2 : KernelSet::SSE2;
#elif defined(QUENDRALIS_SSE2_KERNELS)
    return KernelSet::SSE2;
#else
    return KernelSet::Reference;
#endif
}

TEST(KernelDispatch, StartsOnTheFastestSetTheProcessorHas) {
    EXPECT_EQ(BestKernelSet(), ExpectedBestSet());
    EXPECT_EQ(CurrentKernelSet(), BestKernelSet());
    UseKernelSet(KernelSet::Reference);
    EXPECT_EQ(CurrentKernelSet(), KernelSet::Reference);
    EXPECT_STREQ(KernelSetName(KernelSet::SSE2), "sse2");
}

// Runs the public kernels through the set under test, skipping sets the processor lacks.
class EveryKernelSet : public testing::TestWithParam<KernelSet> {
protected:
    void SetUp() override {
        UseKernelSet(GetParam());
        if (CurrentKernelSet() != GetParam()) GTEST_SKIP() << "this processor lacks " << KernelSetName(GetParam());
    }
};

INSTANTIATE_TEST_SUITE_P(Kernels, EveryKernelSet,
                         testing::Values(KernelSet::Reference, KernelSet::SSE2, KernelSet::AVX2, KernelSet::AVX512),
                         SetName);

TEST_P(EveryKernelSet, ClearZeroesThePlaneAndNothingElseAtAnyAlignment) {
    constexpr int margin = 64;
    for (int offset = 0; offset < margin; ++offset) {
        std::vector<std::uint8_t> memory(planeSize + 2 * margin, 0xC3);
        ClearPlane(memory.data() + offset);
        for (int i = 0; i < static_cast<int>(memory.size()); ++i) {
            const bool inPlane = i >= offset && i < offset + planeSize;
            ASSERT_EQ(memory[i], inPlane ? 0 : 0xC3) << "offset " << offset << ", byte " << i;
        }
    }
}

TEST_P(EveryKernelSet, BlendShiftsEachTermOnItsOwnAndClampsTheSum) {
    struct BlendCase {
        const char* what;
        std::uint8_t dst, src;
        int dstWeight, srcWeight;
        std::uint8_t result;
    };
    const BlendCase cases[] = {
        {"weight 255 loses one from 200", 123, 200, 0, 255, 199},
        {"weight 255 loses one from 1", 123, 1, 0, 255, 0},
        {"191 + 254 clamps", 255, 255, 192, 255, 255},
        {"weight 256 acts as 0", 200, 100, 256, 255, 99},
        {"weight 448 acts as 192", 200, 90, 448, 0, 150},
        {"each term is shifted before the sum", 1, 1, 255, 255, 0},
        {"halves", 100, 101, 128, 128, 100},
    };
    for (const BlendCase& c : cases) {
        Plane dst = Filled(c.dst);
        const Plane src = Filled(c.src);
        BlendPlanes(dst.data(), src.data(), c.dstWeight, c.srcWeight, 0, planeHeight);
        EXPECT_EQ(dst, Filled(c.result)) << c.what;
    }
}

TEST_P(EveryKernelSet, BlendLeavesRowsOutsideItsRangeUntouched) {
    const Plane before = RandomPlane(2);
    Plane dst = before;
    const Plane src = Filled(100);
    BlendPlanes(dst.data(), src.data(), 0, 255, 100, 140);
    EXPECT_TRUE(RowsEqual(dst, before, 0, 100));
    EXPECT_TRUE(RowsEqual(dst, Filled(99), 100, 140));
    EXPECT_TRUE(RowsEqual(dst, before, 140, planeHeight));
}

// The whole plane blurred over one of random bytes (from `seed`), with a single 255 at (row, column).
Plane BlurOfOnePixel(int row, int column, unsigned seed) {
    Plane src = Filled(0);
    src[planeWidth * row + column] = 255;
    Plane dst = RandomPlane(seed);
    BlurPlane(dst.data(), src.data(), 0, planeHeight);
    return dst;
}

TEST_P(EveryKernelSet, BlurSpreadsASinglePixelToItsEightNeighbours) {
    Plane expected = Filled(0);
    for (int row = 99; row <= 101; ++row) {
        for (int column = 99; column <= 101; ++column) expected[planeWidth * row + column] = 31;
    }
    expected[planeWidth * 100 + 100] = 0;
    EXPECT_EQ(BlurOfOnePixel(100, 100, 3), expected);
}

TEST_P(EveryKernelSet, BlurNeighboursWrapFromARowsEndToTheNextRowsStart) {
    Plane expected = Filled(0);
    const int blurred[][2] = {{9, 318}, {9, 319}, {11, 318}, {11, 319}, {10, 318}, {10, 0}, {11, 0}, {12, 0}};
    for (const auto& [row, column] : blurred) expected[planeWidth * row + column] = 31;
    EXPECT_EQ(BlurOfOnePixel(10, 319, 4), expected);
}

TEST_P(EveryKernelSet, BlurInPlaceSeesTheBlurredRowAboveAndTheBlurredByteBeforeEachGroup) {
    Plane plane = Filled(80);
    BlurPlane(plane.data(), plane.data(), 0, planeHeight);
    EXPECT_TRUE(RowIsZero(plane, 0));
    EXPECT_TRUE(RowIsZero(plane, planeHeight - 1));
    EXPECT_EQ(At(plane, 1, 0), 40);  // its neighbour before the plane counts as 0
    for (int column = 1; column < 319; ++column) {
        EXPECT_EQ(At(plane, 1, column), column % 8 == 0 ? 46 : 50) << "column " << column;
    }
    EXPECT_EQ(At(plane, 1, 319), 55);  // its upper right neighbour is row 1, column 0
}

TEST_P(EveryKernelSet, BlurCountsNeighboursOutsideThePlaneAsZero) {
    const Plane src = Filled(255);
    Plane dst = Filled(0);
    BlurPlane(dst.data(), src.data(), 0, planeHeight);
    EXPECT_EQ(At(dst, 1, 0), 7 * 255 >> 3);
    EXPECT_EQ(At(dst, 1, 1), 255);
    EXPECT_EQ(At(dst, 238, 318), 255);
    EXPECT_EQ(At(dst, 238, 319), 7 * 255 >> 3);
}

TEST_P(EveryKernelSet, BlurBlanksTheBandsEdgeRowsAndLeavesTheRestUntouched) {
    const Plane before = RandomPlane(5);
    Plane plane = before;
    BlurPlane(plane.data(), plane.data(), 50, 60);
    EXPECT_TRUE(RowsEqual(plane, before, 0, 50));
    EXPECT_TRUE(RowIsZero(plane, 50));
    EXPECT_TRUE(RowIsZero(plane, 59));
    EXPECT_TRUE(RowsEqual(plane, before, 60, planeHeight));
}

// 32-bit surface memory with a row pitch of its own, its padding and trailing bytes marked.
struct Surface {
    static constexpr std::uint8_t mark = 0xEE;
    long pitch;
    std::vector<std::uint8_t> bytes;

    explicit Surface(long rowPitch) : pitch(rowPitch), bytes(rowPitch * planeHeight + 64, mark) {}
    std::uint32_t Pixel(int row, int column) const {
        std::uint32_t value;
        std::memcpy(&value, bytes.data() + row * pitch + 4 * column, 4);
        return value;
    }
};

TEST_P(EveryKernelSet, ExpandCopiesPaletteEntriesWhole) {
    std::uint32_t palette[256];
    for (std::uint32_t i = 0; i < 256; ++i) palette[i] = 0xAB000000u | (i << 16) | ((255 - i) << 8) | (i ^ 0x5A);
    const Plane plane = RandomPlane(6);
    Surface surface(1280 + 3 * 64);
    ExpandPlane(palette, surface.bytes.data(), surface.pitch, plane.data());
    for (int row = 0; row < planeHeight; ++row) {
        for (int column = 0; column < planeWidth; ++column) {
            ASSERT_EQ(surface.Pixel(row, column), palette[At(plane, row, column)]) << row << ", " << column;
        }
        for (long b = 4 * planeWidth; b < surface.pitch; ++b) {
            ASSERT_EQ(surface.bytes[row * surface.pitch + b], Surface::mark) << "padding of row " << row;
        }
    }
    for (long b = planeHeight * surface.pitch; b < static_cast<long>(surface.bytes.size()); ++b) {
        ASSERT_EQ(surface.bytes[b], Surface::mark);
    }
}

void FillPixels(Surface& surface, std::uint32_t pixel) {
    for (int row = 0; row < planeHeight; ++row) {
        for (int column = 0; column < planeWidth; ++column) {
            std::memcpy(surface.bytes.data() + row * surface.pitch + 4 * column, &pixel, 4);
        }
    }
}

TEST_P(EveryKernelSet, AddRowsSaturatesEveryByteOfTheGivenRowsOnly) {
    Surface back(1280), effect(1280);
    FillPixels(back, 0xF0A0A0A0u);
    FillPixels(effect, 0x10804020u);
    AddRowsSaturated(back.bytes.data(), back.pitch, effect.bytes.data(), effect.pitch, 0, 100);
    for (int row = 0; row < planeHeight; ++row) {
        // Red 128 + 160 and green 64 + 160 and blue 32 + 160, the top byte taking part too.
        const std::uint32_t expected = row < 100 ? 0xFFFFE0C0u : 0xF0A0A0A0u;
        for (int column = 0; column < planeWidth; ++column) ASSERT_EQ(back.Pixel(row, column), expected) << row;
    }
}

TEST_P(EveryKernelSet, AddRowsAddsRowToRowWhenThePitchesDiffer) {
    Surface back(1280), effect(1600);
    FillPixels(back, 0);
    for (int row = 0; row < planeHeight; ++row) {
        std::memset(effect.bytes.data() + row * effect.pitch, row, 4 * planeWidth);
    }
    AddRowsSaturated(back.bytes.data(), back.pitch, effect.bytes.data(), effect.pitch, 140, planeHeight);
    for (int row = 0; row < planeHeight; ++row) {
        const std::uint32_t expected = row < 140 ? 0 : 0x01010101u * static_cast<std::uint32_t>(row);
        for (int column = 0; column < planeWidth; ++column) ASSERT_EQ(back.Pixel(row, column), expected) << row;
    }
}

TEST_P(EveryKernelSet, PoleFieldsTruncateTowardZeroAndSkipPolesOnOrBesideThePoint) {
    struct FieldCase {
        const char* what;
        std::int32_t poleX, poleY, sumX, sumY;
    };
    // The point is (100, 50); each case has one pole.
    const FieldCase cases[] = {
        {"on the point", 100, 50, 0, 0},
        {"one pixel left: q = 0", 99, 50, 0, 0},
        {"one pixel below: q = 0", 100, 51, 0, 0},
        {"two pixels left: q = 2", 98, 50, 65536, 0},
        {"diagonal neighbour: q = 1", 101, 49, -65536, 65536},
        // q = (9 + 1) >> 1 = 5: -196608 / 5 = -39321.6 and 65536 / 5 = 13107.2, both cut toward zero.
        {"negative quotients truncate up", 103, 49, -39321, 13107},
        // q = (90000 + 40000) >> 1 = 65000.
        {"far away", 100 - 300, 50 + 200, 302, -201},
    };
    const std::int32_t x[8] = {100, 100, 100, 100, 100, 100, 100, 100}, y[8] = {50, 50, 50, 50, 50, 50, 50, 50};
    for (const FieldCase& c : cases) {
        // Eight points, so that the vector loops run as well as the single point.
        std::int32_t sumX[8], sumY[8];
        SumPoleFields(x, y, 8, &c.poleX, &c.poleY, 1, sumX, sumY);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(sumX[i], c.sumX) << c.what;
            EXPECT_EQ(sumY[i], c.sumY) << c.what;
        }
    }
    // The poles' terms add up.
    const std::int32_t poleX[] = {98, 101, 100}, poleY[] = {50, 49, 50};
    std::int32_t sumX, sumY;
    SumPoleFields(x, y, 1, poleX, poleY, 3, &sumX, &sumY);
    EXPECT_EQ(sumX, 0);
    EXPECT_EQ(sumY, 65536);
}

// ---- Every fast set against the reference ----

struct PlaneKind {
    const char* name;
    Plane dst, src;
};

PlaneKind RandomPlanes() { return {"random", RandomPlane(7), RandomPlane(8)}; }

std::vector<PlaneKind> EvenPlanes() { return {{"all 0", Filled(0), Filled(0)}, {"all 255", Filled(255), Filled(255)}}; }

// Runs of equal bytes, 1 to 40 long, starting anywhere: the dark and flat parts of a real plane.
Plane RunsPlane(unsigned seed) {
    std::mt19937 random(seed);
    Plane plane(planeSize);
    for (int p = 0; p < planeSize;) {
        const auto value = static_cast<std::uint8_t>(random() % 3 == 0 ? random() : 0);
        for (int end = std::min(planeSize, p + 1 + static_cast<int>(random() % 40)); p < end; ++p) plane[p] = value;
    }
    return plane;
}

std::vector<PlaneKind> PlaneKinds() {
    std::vector<PlaneKind> kinds = EvenPlanes();
    kinds.insert(kinds.begin(), RandomPlanes());
    kinds.push_back({"runs", RunsPlane(16), RunsPlane(17)});
    return kinds;
}

class FastKernelSet : public EveryKernelSet {
protected:
    void ExpectBlurMatchesTheReference(const PlaneKind& kind, int firstRow, int endRow);

    // Reused, so that the thousands of comparisons do not allocate.
    Plane fastPlane = Filled(0), plainPlane = Filled(0);
};

INSTANTIATE_TEST_SUITE_P(Kernels, FastKernelSet, testing::Values(KernelSet::SSE2, KernelSet::AVX2, KernelSet::AVX512),
                         SetName);

TEST_P(FastKernelSet, BlendMatchesTheReferenceOverEveryRowRange) {
    const int weights[][2] = {{192, 255}, {255, 255}, {0, 0}, {1, 254}, {128, 77}, {448, 256}, {-1, 0x1FF}, {240, 64}};
    int round = 0;
    for (const PlaneKind& kind : PlaneKinds()) {
        for (int firstRow = 0; firstRow < planeHeight; ++firstRow) {
            for (int endRow = firstRow + 1; endRow <= planeHeight; ++endRow) {
                const auto& [dstWeight, srcWeight] = weights[round++ % std::size(weights)];
                fastPlane = kind.dst;
                plainPlane = kind.dst;
                BlendPlanes(fastPlane.data(), kind.src.data(), dstWeight, srcWeight, firstRow, endRow);
                reference::kernels.blendPlanes(plainPlane.data(), kind.src.data(), dstWeight, srcWeight, firstRow,
                                               endRow);
                ASSERT_EQ(fastPlane, plainPlane) << kind.name << " rows " << firstRow << "-" << endRow;
            }
        }
    }
}

void FastKernelSet::ExpectBlurMatchesTheReference(const PlaneKind& kind, int firstRow, int endRow) {
    fastPlane = kind.src;
    plainPlane = kind.src;
    BlurPlane(fastPlane.data(), fastPlane.data(), firstRow, endRow);
    reference::kernels.blurPlane(plainPlane.data(), plainPlane.data(), firstRow, endRow);
    ASSERT_EQ(fastPlane, plainPlane) << kind.name << " in place, rows " << firstRow << "-" << endRow;
    fastPlane = kind.dst;
    plainPlane = kind.dst;
    BlurPlane(fastPlane.data(), kind.src.data(), firstRow, endRow);
    reference::kernels.blurPlane(plainPlane.data(), kind.src.data(), firstRow, endRow);
    ASSERT_EQ(fastPlane, plainPlane) << kind.name << " apart, rows " << firstRow << "-" << endRow;
}

TEST_P(FastKernelSet, BlurMatchesTheReferenceOverEveryBandInPlaceAndApart) {
    const PlaneKind kind = RandomPlanes();
    for (int firstRow = 0; firstRow < planeHeight; ++firstRow) {
        for (int endRow = firstRow + 3; endRow <= planeHeight; ++endRow) {
            ASSERT_NO_FATAL_FAILURE(ExpectBlurMatchesTheReference(kind, firstRow, endRow));
        }
    }
}

// On an even plane only the band's edges and the plane's edges make a difference.
TEST_P(FastKernelSet, BlurMatchesTheReferenceOnEvenPlanes) {
    for (const PlaneKind& kind : EvenPlanes()) {
        for (int firstRow = 0; firstRow < planeHeight; ++firstRow) {
            for (int endRow = firstRow + 3; endRow <= planeHeight; ++endRow) {
                if (firstRow == 0 || endRow == planeHeight || endRow - firstRow <= 5) {
                    ASSERT_NO_FATAL_FAILURE(ExpectBlurMatchesTheReference(kind, firstRow, endRow));
                }
            }
        }
    }
}

TEST_P(FastKernelSet, ExpandMatchesTheReferenceAtEveryPitch) {
    std::mt19937 random(10);
    std::uint32_t palette[256];
    for (std::uint32_t& entry : palette) entry = static_cast<std::uint32_t>(random());
    for (const PlaneKind& kind : PlaneKinds()) {
        for (const long pitch : {1280L, 1284L, 1296L, 1344L, 2560L}) {
            Surface fastSurface(pitch), plainSurface(pitch);
            ExpandPlane(palette, fastSurface.bytes.data(), pitch, kind.src.data());
            reference::kernels.expandPlane(palette, plainSurface.bytes.data(), pitch, kind.src.data());
            ASSERT_EQ(fastSurface.bytes, plainSurface.bytes) << kind.name << " pitch " << pitch;
        }
    }
}

TEST_P(FastKernelSet, AddRowsMatchesTheReferenceOverEveryRowRange) {
    std::mt19937 random(11);
    Surface back(1280 + 32), effect(1280 + 160), fastSurface(back.pitch), plainSurface(back.pitch);
    for (std::uint8_t& byte : back.bytes) byte = static_cast<std::uint8_t>(random());
    for (std::uint8_t& byte : effect.bytes) byte = static_cast<std::uint8_t>(random());
    for (int firstRow = 0; firstRow < planeHeight; ++firstRow) {
        for (int endRow = firstRow + 1; endRow <= planeHeight; ++endRow) {
            fastSurface.bytes = back.bytes;
            plainSurface.bytes = back.bytes;
            AddRowsSaturated(fastSurface.bytes.data(), back.pitch, effect.bytes.data(), effect.pitch, firstRow, endRow);
            reference::kernels.addRowsSaturated(plainSurface.bytes.data(), back.pitch, effect.bytes.data(),
                                                effect.pitch, firstRow, endRow);
            ASSERT_EQ(fastSurface.bytes, plainSurface.bytes) << "rows " << firstRow << "-" << endRow;
        }
    }
}

}  // namespace

// Points and poles anywhere the kernel allows (every difference at most 32767 in size) and crowded
// together, where q is 0 or small; any count, so the lanes left over after the vectors count too.
TEST_P(FastKernelSet, PoleFieldsMatchTheReferenceForAnyPointsAndPoles) {
    std::mt19937 random(12);
    std::uniform_int_distribution<std::int32_t> wide(-16383, 16383), crowded(-3, 3), onPlane(-10, 330);
    constexpr int most = 40;
    for (int round = 0; round < 3000; ++round) {
        const int kind = round % 3;
        const auto coordinate = [&] {
            return kind == 0 ? wide(random) : kind == 1 ? crowded(random) : onPlane(random);
        };
        const int count = static_cast<int>(random() % (most + 1));
        const int poles = static_cast<int>(random() % 13);
        std::int32_t x[most], y[most], poleX[12], poleY[12];
        for (int i = 0; i < count; ++i) x[i] = coordinate(), y[i] = coordinate();
        for (int k = 0; k < poles; ++k) poleX[k] = coordinate(), poleY[k] = coordinate();
        std::int32_t fastX[most], fastY[most], plainX[most], plainY[most];
        SumPoleFields(x, y, count, poleX, poleY, poles, fastX, fastY);
        reference::kernels.sumPoleFields(x, y, count, poleX, poleY, poles, plainX, plainY);
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(fastX[i], plainX[i]) << "round " << round << ", point " << i;
            ASSERT_EQ(fastY[i], plainY[i]) << "round " << round << ", point " << i;
        }
    }
}

// Differences up to the largest the kernel takes, and poles on, beside and near the points.
TEST_P(FastKernelSet, PoleFieldsMatchTheReferenceAtTheExtremes) {
    const std::int32_t x[8] = {0, 1, 2, 3, 32762, -32762, 16384, -16385}, y[8] = {0, -1, 32762, -32762, 0, 5, 7, -9};
    for (std::int32_t poleX = -5; poleX <= 5; ++poleX) {
        for (std::int32_t poleY = -5; poleY <= 5; ++poleY) {
            std::int32_t fastX[8], fastY[8], plainX[8], plainY[8];
            SumPoleFields(x, y, 8, &poleX, &poleY, 1, fastX, fastY);
            reference::kernels.sumPoleFields(x, y, 8, &poleX, &poleY, 1, plainX, plainY);
            for (int i = 0; i < 8; ++i) {
                ASSERT_EQ(fastX[i], plainX[i]) << "pole " << poleX << ", " << poleY << ", point " << i;
                ASSERT_EQ(fastY[i], plainY[i]) << "pole " << poleX << ", " << poleY << ", point " << i;
            }
        }
    }
}

// Random, flat and extreme reliefs under lights all over the map and beyond it, onto a plane whose old
// bytes must survive wherever the map is missed.
TEST_P(FastKernelSet, LightingMatchesTheReferenceForAnyReliefAndLight) {
    Plane lightMap = RandomPlane(13);
    lightMap.resize(256 * 256);
    Plane ridges = Filled(0);
    for (int p = 0; p < planeSize; ++p) ridges[p] = (p / 3) % 2 ? 255 : 0;
    const Plane reliefs[] = {RandomPlane(14), Filled(0), Filled(255), ridges};
    const Plane before = RandomPlane(15);
    const int lights[][2] = {{0, 0},     {63, 0},   {-64, 63},       {-64, -64},      {17, -33},
                             {200, 100}, {-300, 5}, {-16384, 16383}, {16383, -16384}, {128, -128}};
    for (const Plane& relief : reliefs) {
        for (const auto& [lightX, lightY] : lights) {
            fastPlane = before;
            plainPlane = before;
            LightPlane(relief.data(), lightMap.data(), lightX, lightY, fastPlane.data());
            reference::kernels.lightPlane(relief.data(), lightMap.data(), lightX, lightY, plainPlane.data());
            ASSERT_EQ(fastPlane, plainPlane) << "light " << lightX << ", " << lightY;
        }
    }
}

// Dots anywhere in the cube under any turn and pulse, with random length factors from 0 to 1 inclusive;
// any count, so the dots left over after the vectors count too. Large pulses make L * S * V wrap.
TEST_P(FastKernelSet, DotProjectionMatchesTheReference) {
    std::mt19937 random(18);
    std::uniform_int_distribution<int> coordinate(0, 255), turn(-255, 255), pulse(0, 1000);
    constexpr int most = 61;
    for (int round = 0; round < 2000; ++round) {
        const int count = static_cast<int>(random() % (most + 1));
        std::uint16_t dots[3 * most];
        for (std::uint16_t& c : dots)
            c = static_cast<std::uint16_t>(round % 5 == 0 ? 255 * (random() % 2) : coordinate(random));
        std::int32_t turns[6];
        for (std::int32_t& t : turns) t = turn(random);
        double lengths[most];
        for (double& l : lengths) l = round % 7 == 0 ? 1.0 : static_cast<double>(random() % 32768) * 3.0518509e-05;
        const std::int32_t p = round % 3 == 0 ? 50 + static_cast<std::int32_t>(random() % 101) : pulse(random);
        std::int32_t fast[4][most], plain[4][most];
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(dots);
        ProjectDots(bytes, count, turns, p, lengths, fast[0], fast[1], fast[2], fast[3]);
        reference::kernels.projectDots(bytes, count, turns, p, lengths, plain[0], plain[1], plain[2], plain[3]);
        for (int a = 0; a < 4; ++a)
            for (int i = 0; i < count; ++i) ASSERT_EQ(fast[a][i], plain[a][i]) << "round " << round << ", dot " << i;
    }
}
