// The fading line: its pixels and intensities, the clipping to the plane, that no coordinates at all
// make it write outside the plane, and the fast stepping equal to the plain one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <ostream>
#include <random>
#include <vector>

#include "render/kernel_sets.h"
#include "render/kernels.h"

namespace {

struct Pixel {
    int x, y, value;
    bool operator==(const Pixel&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pixel& p) {
    return out << "(" << p.x << ", " << p.y << ") = " << p.value;
}

// A zeroed plane with guard bytes on both sides, in one heap block so that a sanitizer sees the edges too.
class GuardedPlane {
public:
    static constexpr int guardBytes = 4096;
    static constexpr std::uint8_t guardValue = 0xA5;

    GuardedPlane() : bytes(guardBytes + planeSize + guardBytes, guardValue) { Clear(); }

    std::uint8_t* plane() { return bytes.data() + guardBytes; }
    void Clear() { std::fill(plane(), plane() + planeSize, std::uint8_t{0}); }

    bool GuardsIntact() const {
        for (int i = 0; i < guardBytes; ++i) {
            if (bytes[i] != guardValue || bytes[guardBytes + planeSize + i] != guardValue) return false;
        }
        return true;
    }

    // The non-zero pixels in row-major order.
    std::vector<Pixel> Drawn() {
        std::vector<Pixel> pixels;
        for (int p = 0; p < planeSize; ++p) {
            if (plane()[p] != 0) pixels.push_back({p % planeWidth, p / planeWidth, plane()[p]});
        }
        return pixels;
    }

private:
    std::vector<std::uint8_t> bytes;
};

std::vector<Pixel> Draw(int x0, int y0, int x1, int y1, int intensity, int step) {
    GuardedPlane plane;
    DrawFadingLine(x0, y0, x1, y1, intensity, step, plane.plane());
    EXPECT_TRUE(plane.GuardsIntact());
    return plane.Drawn();
}

TEST(DrawFadingLine, FadesByTheStepUntilTheIntensityWouldTurnNegative) {
    std::vector<Pixel> expected;
    for (int i = 0; i < 26; ++i) expected.push_back({10 + i, 10, 255 - 10 * i});
    EXPECT_EQ(Draw(10, 10, 100, 10, 255, 10), expected);
}

TEST(DrawFadingLine, BothEndsEqualWriteOnePixel) {
    EXPECT_EQ(Draw(7, 9, 7, 9, 100, 200), (std::vector<Pixel>{{7, 9, 100}}));
}

TEST(DrawFadingLine, StepZeroWritesTheWholeDiagonalOfThePlane) {
    const std::vector<Pixel> drawn = Draw(0, 0, 319, 239, 77, 0);
    EXPECT_EQ(drawn.size(), 320u);
    EXPECT_EQ(drawn.front(), (Pixel{0, 0, 77}));
    EXPECT_EQ(drawn.back(), (Pixel{319, 239, 77}));
}

TEST(DrawFadingLine, OnlyTheLowEightBitsOfStepAndIntensityCount) {
    // A step of 256 acts as 0, an intensity of 0x1C8 writes 0xC8.
    EXPECT_EQ(Draw(0, 0, 2, 0, 0x1C8, 256), (std::vector<Pixel>{{0, 0, 0xC8}, {1, 0, 0xC8}, {2, 0, 0xC8}}));
    // Above 255 the intensity still counts in full when deciding where to stop: 300, 200, 100, 0.
    EXPECT_EQ(Draw(0, 0, 9, 0, 300, 100), (std::vector<Pixel>{{0, 0, 300 & 0xFF}, {1, 0, 200}, {2, 0, 100}}));
}

TEST(DrawFadingLine, ANegativeStartIntensityWritesOnlyItsFirstPixel) {
    EXPECT_EQ(Draw(5, 5, 50, 5, -2, 1), (std::vector<Pixel>{{5, 5, 0xFE}}));
    EXPECT_EQ(Draw(5, 5, 50, 5, std::numeric_limits<std::int32_t>::min() + 1, 255), (std::vector<Pixel>{{5, 5, 0x01}}));
}

// The error term starts at half the count, so the same segment drawn the other way takes other pixels.
struct LineCase {
    const char* what;
    int x0, y0, x1, y1;
    std::vector<Pixel> pixels;
};

TEST(DrawFadingLine, StepsWithTheErrorTermFromEachStart) {
    const LineCase cases[] = {
        {"flat, rightwards", 0, 0, 5, 2, {{0, 0, 6}, {1, 0, 5}, {2, 1, 4}, {3, 1, 3}, {4, 2, 2}, {5, 2, 1}}},
        {"flat, leftwards", 5, 2, 0, 0, {{0, 0, 1}, {1, 0, 2}, {2, 1, 3}, {3, 1, 4}, {4, 2, 5}, {5, 2, 6}}},
        {"steep", 0, 0, 1, 3, {{0, 0, 6}, {0, 1, 5}, {1, 2, 4}, {1, 3, 3}}},
        {"equal slopes only step diagonally", 3, 4, 0, 7, {{3, 4, 6}, {2, 5, 5}, {1, 6, 4}, {0, 7, 3}}},
    };
    for (const LineCase& c : cases) EXPECT_EQ(Draw(c.x0, c.y0, c.x1, c.y1, 6, 1), c.pixels) << c.what;
}

TEST(DrawFadingLine, ClipsToThePlaneDividingTowardZero) {
    struct ClipCase {
        const char* what;
        int x0, y0, x1, y1;
        Pixel first, last;
        std::size_t count;
    };
    const ClipCase cases[] = {
        {"left edge", -10, 120, 10, 120, {0, 120, 9}, {10, 120, 9}, 11},
        {"left edge on a slope", -20, 0, 40, 60, {0, 20, 9}, {40, 60, 9}, 41},
        // y0 = 2 + (0 - 2) * 4 / 7 = 2 - 1: the quotient truncates toward zero, not down.
        {"truncated quotient", -3, 0, 4, 2, {0, 1, 9}, {4, 2, 9}, 5},
        {"right and bottom edges", 300, 230, 340, 250, {300, 230, 9}, {319, 239, 9}, 20},
        {"across the whole plane", -1000, 120, 1319, 120, {0, 120, 9}, {319, 120, 9}, 320},
        {"from corner to corner far out",
         std::numeric_limits<std::int32_t>::min(),
         std::numeric_limits<std::int32_t>::min(),
         std::numeric_limits<std::int32_t>::max(),
         std::numeric_limits<std::int32_t>::max(),
         {0, 0, 9},
         {239, 239, 9},
         240},
    };
    for (const ClipCase& c : cases) {
        const std::vector<Pixel> drawn = Draw(c.x0, c.y0, c.x1, c.y1, 9, 0);
        ASSERT_EQ(drawn.size(), c.count) << c.what;
        EXPECT_EQ(drawn.front(), c.first) << c.what;
        EXPECT_EQ(drawn.back(), c.last) << c.what;
    }
}

TEST(DrawFadingLine, DrawsNothingForSegmentsThatMissThePlane) {
    struct MissCase {
        const char* what;
        int x0, y0, x1, y1;
    };
    const MissCase cases[] = {
        {"both x below 0", -5, -5, -1, 300},
        {"both x above 319", 320, 0, 5000, 100},
        {"both y below 0", 0, -1, 100, -100},
        {"both y above 239", 10, 240, 20, 241},
        // Past the x clipping both ends lie above the plane: y0 becomes -272.
        {"above the top left corner", -100, 10, 10, -300},
        // Past the x clipping both ends lie on row -1, which would divide by zero.
        {"flat above the plane once clipped", -1000, 5, 10, -1},
        {"below the bottom right corner", 330, 200, 300, 400},
    };
    for (const MissCase& c : cases) EXPECT_TRUE(Draw(c.x0, c.y0, c.x1, c.y1, 200, 0).empty()) << c.what;
}

// Coordinates anywhere in the 32-bit range, at the plane's edges, or around the plane.
class RandomCoordinates {
public:
    explicit RandomCoordinates(unsigned seed) : random(seed) {}

    std::int32_t Next() {
        switch (kind(random)) {
        case 0:
            return anywhere(random);
        case 1:
            return edges[random() % std::size(edges)];
        default:
            return nearby(random);
        }
    }

    std::mt19937 random;

private:
    std::uniform_int_distribution<std::int32_t> anywhere{std::numeric_limits<std::int32_t>::min(),
                                                         std::numeric_limits<std::int32_t>::max()};
    std::uniform_int_distribution<std::int32_t> nearby{-400, 720};
    std::uniform_int_distribution<int> kind{0, 3};
    static constexpr std::int32_t edges[] = {
        std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), -1, 0, 239, 240, 319, 320};
};

// Any coordinates, however far out, leave every byte outside the plane alone.
TEST(DrawFadingLine, NeverWritesOutsideThePlaneForAnyCoordinates) {
    RandomCoordinates coordinates(20240607);
    GuardedPlane plane;
    for (int i = 0; i < 200000; ++i) {
        const std::int32_t x0 = coordinates.Next(), y0 = coordinates.Next(), x1 = coordinates.Next(),
                           y1 = coordinates.Next();
        DrawFadingLine(x0, y0, x1, y1, static_cast<std::int32_t>(coordinates.random()),
                       static_cast<std::int32_t>(coordinates.random() % 4), plane.plane());
        ASSERT_TRUE(plane.GuardsIntact()) << "(" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << ")";
    }
}

// The fast lines write the same bytes as the plain one for any segment, start intensity and step,
// including negative and huge intensities and steps beyond 8 bits.
TEST(DrawFadingLine, FastStepsMatchThePlainDefinition) {
    for (const KernelSet set : {KernelSet::SSE2, KernelSet::AVX2, KernelSet::AVX512}) {
        UseKernelSet(set);
        if (CurrentKernelSet() != set) continue;  // the processor lacks it
        RandomCoordinates coordinates(77);
        std::uniform_int_distribution<std::int32_t> smallIntensity(-3, 600);
        std::uniform_int_distribution<std::int32_t> smallStep(0, 12);
        GuardedPlane plain, fast;
        constexpr int linesPerCheck = 16;
        for (int i = 0; i < 60000; ++i) {
            const std::int32_t x0 = coordinates.Next(), y0 = coordinates.Next(), x1 = coordinates.Next(),
                               y1 = coordinates.Next();
            const bool small = i % 2 == 0;
            const auto intensity =
                small ? smallIntensity(coordinates.random) : static_cast<std::int32_t>(coordinates.random());
            const auto step = small ? smallStep(coordinates.random) : static_cast<std::int32_t>(coordinates.random());
            reference::kernels.drawFadingLine(x0, y0, x1, y1, intensity, step, plain.plane());
            DrawFadingLine(x0, y0, x1, y1, intensity, step, fast.plane());
            if (i % linesPerCheck != 0) continue;
            ASSERT_TRUE(std::equal(plain.plane(), plain.plane() + planeSize, fast.plane()))
                << KernelSetName(set) << ": (" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << "), intensity "
                << intensity << ", step " << step;
            ASSERT_TRUE(fast.GuardsIntact());
        }
    }
}

}  // namespace
