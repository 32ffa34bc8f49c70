// The sync scanner on a hand-made module: W cells found with their pattern, row, channel and value.
#include "platform/xm_syncs.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::uint8_t> TinyModule() {
    std::vector<std::uint8_t> m(60 + 276, 0);
    std::memcpy(m.data(), "Extended Module: ", 17);
    m[37] = 0x1A;
    m[58] = 4; m[59] = 1;               // version 1.04
    m[60] = (20 + 256) & 0xFF; m[61] = (20 + 256) >> 8;
    m[64] = 2;                          // song length
    m[68] = 2;                          // channels
    m[70] = 1;                          // patterns
    m[80] = 0; m[81] = 0;               // orders
    // Pattern 0: 2 rows x 2 channels.
    std::vector<std::uint8_t> packed = {
        0x80,                           // row 0, channel 0: empty
        0x98, 32, 0x00,                 // row 0, channel 1: W00
        49, 1, 0x40, 32, 0x02,          // row 1, channel 0: full cell, W02
        0x88, 15, 0x06};                // row 1, channel 1: F06, not a sync
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

}  // namespace
