// The sync scanner on a hand-made module: W cells found with their pattern, row, channel and value.
#include "platform/xm_syncs.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/midas_test_module.h"

namespace {

std::vector<std::uint8_t> TinyModule() {
    std::vector<std::uint8_t> m(60 + 276, 0);
    std::memcpy(m.data(), "Extended Module: ", 17);
    m[37] = 0x1A;
    m[58] = 4;
    m[59] = 1;  // version 1.04
    m[60] = (20 + 256) & 0xFF;
    m[61] = (20 + 256) >> 8;
    m[64] = 2;  // song length
    m[68] = 2;  // channels
    m[70] = 1;  // patterns
    m[80] = 0;
    m[81] = 0;  // orders
    // Pattern 0: 2 rows x 2 channels.
    std::vector<std::uint8_t> packed = {0x80,                      // row 0, channel 0: empty
                                        0x98, 32, 0x00,            // row 0, channel 1: W00
                                        49,   1,  0x40, 32, 0x02,  // row 1, channel 0: full cell, W02
                                        0x88, 15, 0x06};           // row 1, channel 1: F06, not a sync
    const std::uint8_t header[9] = {9, 0, 0, 0, 0, 2, 0, static_cast<std::uint8_t>(packed.size()), 0};
    m.insert(m.end(), header, header + 9);
    m.insert(m.end(), packed.begin(), packed.end());
    return m;
}

TEST(XmSyncs, FindsEveryWCellWithItsPlace) {
    const auto m = TinyModule();
    XmSongLayout layout;
    ASSERT_TRUE(ScanXmSyncs(m.data(), m.size(), layout));
    ASSERT_EQ(layout.syncs.size(), 2u);
    EXPECT_EQ(layout.syncs[0].row, 0);
    EXPECT_EQ(layout.syncs[0].channel, 1);
    EXPECT_EQ(layout.syncs[0].value, 0);
    EXPECT_EQ(layout.syncs[1].row, 1);
    EXPECT_EQ(layout.syncs[1].channel, 0);
    EXPECT_EQ(layout.syncs[1].value, 2);
    EXPECT_EQ(layout.orders, (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(layout.patternRows, (std::vector<std::uint16_t>{2}));
}

TEST(XmSyncs, RefusesEveryTruncationWithoutReadingPastTheEnd) {
    const auto m = TinyModule();
    for (std::size_t size = 0; size < m.size(); ++size) {
        std::vector<std::uint8_t> cut(m.begin(), m.begin() + static_cast<long>(size));
        XmSongLayout layout;
        EXPECT_FALSE(ScanXmSyncs(cut.data(), cut.size(), layout)) << size;
    }
}

// A module from the composer's writer: W cells stored as full five-field cells, as masked cells and
// as W00 (its parameter left out) are all found in the patterns the orders name.
TEST(XmSyncs, ReadsBackTheSyncsOfAModuleFromTheWriter) {
    xmtest::Builder b(3);
    b.AddSquareInstrument();
    const int first = b.AddPattern(4);
    const int second = b.AddPattern(2);
    b.Set(first, 0, 2, xmtest::Sync(0));
    b.Set(first, 1, 0, {49, 1, 0x50, xm::effectSync, 2});
    b.Set(first, 1, 1, xmtest::Note(50));
    b.Set(first, 3, 0, xmtest::Effect(xmtest::effectSpeed, 3));
    b.Set(second, 1, 1, xmtest::Sync(255));
    b.SetOrders({1, 0, 1});
    const std::vector<std::uint8_t> m = b.Build();

    XmSongLayout layout;
    ASSERT_TRUE(ScanXmSyncs(m.data(), m.size(), layout));
    EXPECT_EQ(layout.orders, (std::vector<std::uint8_t>{1, 0, 1}));
    EXPECT_EQ(layout.patternRows, (std::vector<std::uint16_t>{4, 2}));
    ASSERT_EQ(layout.syncs.size(), 3u);
    const XmSyncCell expected[] = {{0, 0, 2, 0}, {0, 1, 0, 2}, {1, 1, 1, 255}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(layout.syncs[i].pattern, expected[i].pattern);
        EXPECT_EQ(layout.syncs[i].row, expected[i].row);
        EXPECT_EQ(layout.syncs[i].channel, expected[i].channel);
        EXPECT_EQ(layout.syncs[i].value, expected[i].value);
    }
}

}  // namespace
