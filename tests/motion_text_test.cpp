// The greeting lines: when the text changes, the split copies, the glyph map, the glow and the palette.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "app/shell.h"
#include "effects/effects.h"
#include "effects/font.h"
#include "platform/virtual/virtual_host.h"

namespace {

class MotionTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        qhost::SetCurrent(&host);
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw), IID_IDirectDraw7, nullptr), DD_OK);
        ASSERT_EQ(LoadFont(), 1);
    }

    // Shows `shown` at once: handed over with a change time already past, then one frame.
    static void ShowText(MotionText& line, const char* shown, std::int32_t time) {
        line.SetNextText(shown);
        line.changeTime = 0;
        ASSERT_EQ(line.Render(time), 1);
    }

    qhost::VirtualHost host;
};

// The plane that glyphs drawn twice at their cells give, without offset: -1 leaves a cell empty.
std::vector<std::uint8_t> CellsOf(const std::vector<int>& glyphs, int left, int top) {
    std::vector<std::uint8_t> plane(planeSize, 0);
    for (std::size_t k = 0; k < glyphs.size(); ++k) {
        if (glyphs[k] < 0) continue;
        for (int r = 0; r < glyphHeight; ++r)
            for (int b = 0; b < glyphWidth; ++b)
                plane[(top + r) * planeWidth + left + glyphWidth * static_cast<int>(k) + b] = static_cast<std::uint8_t>(
                    std::min(255, 2 * fontGlyphs[glyphs[k] * glyphBytes + r * glyphWidth + b]));
    }
    return plane;
}

std::vector<std::uint8_t> Canvas(const MotionText& line) { return {line.canvas, line.canvas + planeSize}; }

TEST(MotionTextGhost, OffsetShrinksByOnePixelEvery64MsAfterTheChange) {
    struct Case {
        std::uint32_t rel, changeTime;
        std::int32_t offset;
    };
    const Case cases[] = {
        {1000, 1000, 8}, {1063, 1000, 8}, {1064, 1000, 7}, {1511, 1000, 1},
        {1512, 1000, 0}, {1575, 1000, 0}, {999, 1000, 0},  // before the change the difference wraps
        {0, never, 8},   {510, never, 1}, {511, never, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GhostOffset(c.rel, c.changeTime), c.offset) << "rel " << c.rel << " change " << c.changeTime;
}

TEST_F(MotionTextTest, TextChangesOnTheFirstFrameAfterChangeTime) {
    ASSERT_EQ(topText.Setup(1), 1);
    topText.SetPosition(10, 30);
    topText.SetNextText("Greetz");
    topText.changeTime = 1000;
    ASSERT_EQ(topText.Render(1000), 1);
    EXPECT_STREQ(topText.text, "");
    EXPECT_EQ(topText.textPending, 1);
    ASSERT_EQ(topText.Render(1001), 1);
    EXPECT_STREQ(topText.text, "Greetz");
    EXPECT_EQ(topText.textPending, 0);
    EXPECT_EQ(topText.posX, 10);
}

TEST_F(MotionTextTest, RightAlignedLineKeepsItsRightEdgeWhenTheTextGrows) {
    ASSERT_EQ(bottomText.Setup(0), 1);
    bottomText.SetPosition(310, 191);
    EXPECT_EQ(bottomText.posX, 310);  // an empty text ends where it starts
    ShowText(bottomText, "To", 1);
    EXPECT_EQ(bottomText.posX, 262);
    ShowText(bottomText, "Friends", 2);
    EXPECT_EQ(bottomText.posX, 142);
    EXPECT_EQ(bottomText.posY, 191);
}

TEST_F(MotionTextTest, LongTextIsCutTo19CharactersInsideItsField) {
    ASSERT_EQ(topText.Setup(1), 1);
    topText.startTime = 0x12345678;
    topText.SetNextText("ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_STREQ(topText.nextText, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(topText.startTime.load(), 0x12345678);  // the field right after nextText
    EXPECT_EQ(topText.textPending, 1);
}

TEST_F(MotionTextTest, CharactersDrawTheirGlyphsAndUnknownCodesLeaveTheirCellEmpty) {
    struct Case {
        const char* shown;
        std::vector<int> glyphs;
    };
    const Case cases[] = {{"A1#", {0, 27, 36}}, {"a b", {0, -1, 1}}};
    ASSERT_EQ(topText.Setup(1), 1);
    topText.SetPosition(40, 50);
    for (const Case& c : cases) {
        std::strcpy(topText.text, c.shown);
        ClearPlane(topText.canvas);
        topText.DrawGlyphs(0);
        EXPECT_EQ(Canvas(topText), CellsOf(c.glyphs, 40, 50)) << c.shown;
    }
}

TEST_F(MotionTextTest, CodesWithoutAGlyphAreSkippedLikeASpace) {
    for (int code = 128; code < 256; ++code) EXPECT_EQ(glyphIndex[code], noGlyph) << code;
    ASSERT_EQ(topText.Setup(1), 1);
    topText.SetPosition(40, 50);
    const std::vector<std::uint8_t> spaced = CellsOf({0, -1, 1}, 40, 50);
    for (int code = 1; code < 256; ++code) {
        if (glyphIndex[code] != noGlyph) continue;
        const char shown[] = {'A', static_cast<char>(code), 'B', 0};
        std::strcpy(topText.text, shown);
        ClearPlane(topText.canvas);
        topText.DrawGlyphs(0);
        EXPECT_EQ(Canvas(topText), spaced) << "code " << code;
    }
}

TEST_F(MotionTextTest, GhostCopiesStandOffByTheOffsetOnEitherSide) {
    ASSERT_EQ(topText.Setup(1), 1);
    topText.SetPosition(100, 50);
    std::strcpy(topText.text, "W");
    topText.DrawGlyphs(8);
    const std::uint8_t* glyph = fontGlyphs + glyphIndex[static_cast<unsigned char>('W')] * glyphBytes;
    std::vector<std::uint8_t> expected(planeSize, 0);
    for (int shift : {-8, 8})
        for (int r = 0; r < glyphHeight; ++r)
            for (int b = 0; b < glyphWidth; ++b) {
                std::uint8_t& to = expected[(50 + r) * planeWidth + 100 + shift + b];
                to = static_cast<std::uint8_t>(std::min(255, to + glyph[r * glyphWidth + b]));
            }
    EXPECT_EQ(Canvas(topText), expected);
}

// Blurring before the blend lets the fresh glyphs in unblurred; right after a change at a quarter.
TEST_F(MotionTextTest, FreshGlyphsEnterTheGlowUnblurredAtAQuarterRightAfterAChange) {
    ASSERT_EQ(topText.Setup(1), 1);
    ASSERT_EQ(bottomText.Setup(1), 1);
    topText.SetPosition(10, 30);
    topText.SetNextText("Greetz");
    topText.changeTime = 0;
    ASSERT_EQ(topText.Render(1), 1);  // Δ = 1: c = 8
    bottomText.SetPosition(10, 30);
    std::strcpy(bottomText.text, "Greetz");
    bottomText.DrawGlyphs(8);
    int lit = 0;
    for (int p = 0; p < planeSize; ++p) {
        ASSERT_EQ(topText.accum[p], bottomText.canvas[p] * 64 >> 8) << p;
        ASSERT_EQ(topText.canvas[p], 0) << p;
        lit += topText.accum[p] != 0;
    }
    EXPECT_GT(lit, 0);

    DDSURFACEDESC2 description;
    ASSERT_EQ(LockWhole(topText.surface, description), DD_OK);
    for (int y = 0; y < planeHeight; ++y)
        for (int x = 0; x < planeWidth; ++x) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                static_cast<const std::uint8_t*>(description.lpSurface) + y * description.lPitch);
            ASSERT_EQ(row[x], topText.palette[topText.accum[y * planeWidth + x]]) << x << "," << y;
        }
    topText.surface->Unlock(nullptr);
}

TEST_F(MotionTextTest, PaletteRunsFromBlackThroughBlueToNearlyWhite) {
    ASSERT_EQ(topText.Setup(1), 1);
    ASSERT_EQ(topText.Render(0), 1);
    EXPECT_EQ(topText.palette[0], 0x000000u);
    EXPECT_EQ(topText.palette[127], 0x007FFEu);
    EXPECT_EQ(topText.palette[128], 0x0080FFu);
    EXPECT_EQ(topText.palette[255], 0xFEFFFFu);
}

TEST_F(MotionTextTest, FailedLockSkipsTheSurfaceButTheFrameStillCounts) {
    ASSERT_EQ(topText.Setup(1), 1);
    host.FailCall("Lock", DDERR_SURFACELOST);
    EXPECT_EQ(topText.Render(0), 1);
}

// The caller keeps the line inside the plane; a line placed outside draws only what fits.
TEST_F(MotionTextTest, LinePlacedPartlyOutsideThePlaneWritesOnlyInsideIt) {
    struct Case {
        std::int32_t x, y;
    };
    const Case cases[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {-5, 0}, {300, 235}, {0, -15}, {100, 239}};
    ASSERT_EQ(topText.Setup(1), 1);
    ShowText(topText, "ABCDEFGHIJKLMNOPQRS", 0);
    for (const Case& c : cases) {
        topText.SetPosition(c.x, c.y);
        EXPECT_EQ(topText.Render(1), 1) << c.x << "," << c.y;
    }
    // At (296, 235) only the first cell fits, and of it only the top five rows.
    topText.SetPosition(296, 235);
    ClearPlane(topText.canvas);
    topText.DrawGlyphs(0);
    std::vector<std::uint8_t> expected(planeSize, 0);
    for (int r = 0; r < planeHeight - 235; ++r)
        for (int b = 0; b < glyphWidth; ++b)
            expected[(235 + r) * planeWidth + 296 + b] =
                static_cast<std::uint8_t>(std::min(255, 2 * fontGlyphs[r * glyphWidth + b]));
    EXPECT_EQ(Canvas(topText), expected);
}

}  // namespace
